#include "zip_builder.h"

#include <stdexcept>
#include <zlib.h>

namespace {

void put16(std::vector<uint8_t> &out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t> &out, uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void putBytes(std::vector<uint8_t> &out, const std::string &s)
{
    out.insert(out.end(), s.begin(), s.end());
}

}  // namespace

std::vector<uint8_t> deflateRaw(const std::vector<uint8_t> &data)
{
    z_stream zs{};
    if (deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::vector<uint8_t> out(deflateBound(&zs, static_cast<uLong>(data.size())));
    zs.next_in = const_cast<Bytef *>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

std::vector<uint8_t> buildZip(const std::vector<ZipItem> &entries, const std::string &comment)
{
    std::vector<uint8_t> out, central;
    for (const ZipItem &e : entries) {
        std::vector<uint8_t> body = e.deflate ? deflateRaw(e.data) : e.data;
        uint32_t crc = static_cast<uint32_t>(crc32(0, e.data.data(), static_cast<uInt>(e.data.size())));
        crc += static_cast<uint32_t>(e.crcDelta);
        uint32_t size = static_cast<uint32_t>(e.data.size()) + static_cast<uint32_t>(e.sizeDelta);
        uint32_t csize = static_cast<uint32_t>(body.size()) + static_cast<uint32_t>(e.compressedDelta);
        uint16_t method = e.method != 0xffff ? e.method : (e.deflate ? 8 : 0);
        uint32_t offset = static_cast<uint32_t>(out.size());
        const std::string &lname = e.localName.empty() ? e.name : e.localName;

        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, e.flags);
        put16(out, method);
        put16(out, 0);
        put16(out, 0);
        put32(out, crc);
        put32(out, csize);
        put32(out, size);
        put16(out, static_cast<uint32_t>(lname.size()));
        put16(out, 0);
        putBytes(out, lname);
        out.insert(out.end(), body.begin(), body.end());

        put32(central, 0x02014b50);
        put16(central, 0x031e);
        put16(central, 20);
        put16(central, e.flags);
        put16(central, method);
        put16(central, 0);
        put16(central, 0);
        put32(central, crc);
        put32(central, csize);
        put32(central, size);
        put16(central, static_cast<uint32_t>(e.name.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        putBytes(central, e.name);
    }
    uint32_t cdOffset = static_cast<uint32_t>(out.size());
    out.insert(out.end(), central.begin(), central.end());
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, static_cast<uint32_t>(central.size()));
    put32(out, cdOffset);
    put16(out, static_cast<uint32_t>(comment.size()));
    putBytes(out, comment);
    return out;
}
