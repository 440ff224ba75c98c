#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "flash_writer.h"
#include "temp_file.h"

// A NAND partition kept in a file: erased bytes are 0xFF, pages are programmed whole,
// page-aligned and only once after an erase, bad blocks refuse everything, and
// failures can be injected per block.
class NandSim {
public:
    NandSim(uint32_t blocks, uint32_t blockSize, uint32_t pageSize, uint8_t fill);

    flash_partition partition();

    std::vector<uint8_t> block(uint32_t index) const;
    std::vector<uint8_t> contents() const;

    std::set<uint32_t> bad;             // blocks marked bad (by the factory or by writes)
    std::map<uint32_t, int> failWrites; // block -> how many programs go wrong (bit flips)
    std::map<uint32_t, int> failErases; // block -> how many erases fail
    int operations = 0;                 // every call that reached the flash
    std::vector<std::string> log;       // "erase 2", "write 2", "read 2", "mark 2", "isbad 2"

    uint32_t blockSize() const { return blockSize_; }

private:
    static int isBad(void *dev, uint32_t offset);
    static int erase(void *dev, uint32_t offset, uint32_t len);
    static int write(void *dev, uint32_t offset, const uint8_t *data, uint32_t len);
    static int read(void *dev, uint32_t offset, uint8_t *data, uint32_t len);
    static int markBad(void *dev, uint32_t offset);

    void record(const char *what, uint32_t offset);
    bool aligned(uint32_t offset, uint32_t len) const;

    TempDir dir_;
    std::string path_;
    uint32_t blocks_, blockSize_, pageSize_;
    std::vector<bool> programmed_;  // per page, since its block's last erase
    static const flash_ops ops_;
};

// An image held in memory, read in order.
struct MemoryImage {
    explicit MemoryImage(std::vector<uint8_t> d) : data(std::move(d)) {}
    std::vector<uint8_t> data;
    size_t pos = 0;
    image_source source();
};
