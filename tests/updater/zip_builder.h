#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Writes small zip archives for the reader's tests, with knobs to break them in the
// ways real damage does.
struct ZipItem {
    ZipItem(std::string n, std::vector<uint8_t> d = {}, bool deflated = true)
        : name(std::move(n)), data(std::move(d)), deflate(deflated) {}

    std::string name;
    std::vector<uint8_t> data;
    bool deflate = true;
    uint16_t flags = 0;          // e.g. 0x0001 encrypted, 0x0008 data descriptor
    uint16_t method = 0xffff;    // if set, written instead of the real method
    int32_t crcDelta = 0;        // added to the CRC in both headers
    int32_t sizeDelta = 0;       // added to the uncompressed size in both headers
    int32_t compressedDelta = 0; // added to the compressed size in both headers
    std::string localName;       // if not empty, the local header's name
};

std::vector<uint8_t> buildZip(const std::vector<ZipItem> &entries, const std::string &comment = "");
std::vector<uint8_t> deflateRaw(const std::vector<uint8_t> &data);
