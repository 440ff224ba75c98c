#include "nand_sim.h"

#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

const flash_ops NandSim::ops_ = {NandSim::isBad, NandSim::erase, NandSim::write, NandSim::read,
                                 NandSim::markBad};

NandSim::NandSim(uint32_t blocks, uint32_t blockSize, uint32_t pageSize, uint8_t fill)
    : path_(dir_.file("nand.bin")), blocks_(blocks), blockSize_(blockSize), pageSize_(pageSize),
      programmed_(static_cast<size_t>(blocks) * (blockSize / pageSize), true)
{
    writeFile(path_, std::vector<uint8_t>(static_cast<size_t>(blocks) * blockSize, fill));
}

flash_partition NandSim::partition()
{
    return flash_partition{&ops_, this, blocks_ * blockSize_, blockSize_};
}

std::vector<uint8_t> NandSim::contents() const
{
    return readFile(path_);
}

std::vector<uint8_t> NandSim::block(uint32_t index) const
{
    auto all = contents();
    auto begin = all.begin() + static_cast<long>(index) * blockSize_;
    return {begin, begin + blockSize_};
}

void NandSim::record(const char *what, uint32_t offset)
{
    operations++;
    log.push_back(std::string(what) + " " + std::to_string(offset / blockSize_));
}

bool NandSim::aligned(uint32_t offset, uint32_t len) const
{
    return offset % pageSize_ == 0 && len % pageSize_ == 0 &&
           static_cast<uint64_t>(offset) + len <= static_cast<uint64_t>(blocks_) * blockSize_;
}

int NandSim::isBad(void *dev, uint32_t offset)
{
    auto *s = static_cast<NandSim *>(dev);
    s->record("isbad", offset);
    return s->bad.count(offset / s->blockSize_) ? 1 : 0;
}

int NandSim::erase(void *dev, uint32_t offset, uint32_t len)
{
    auto *s = static_cast<NandSim *>(dev);
    s->record("erase", offset);
    uint32_t b = offset / s->blockSize_;
    if (offset % s->blockSize_ || len != s->blockSize_ || b >= s->blocks_ || s->bad.count(b))
        return -1;
    if (s->failErases[b] > 0) {
        s->failErases[b]--;
        return -1;
    }
    Fd fd(open(s->path_.c_str(), O_WRONLY));
    std::vector<uint8_t> ff(len, 0xff);
    if (pwrite(fd.get(), ff.data(), len, offset) != static_cast<ssize_t>(len))
        return -1;
    uint32_t pages = s->blockSize_ / s->pageSize_;
    for (uint32_t p = 0; p < pages; p++)
        s->programmed_[b * pages + p] = false;
    return 0;
}

int NandSim::write(void *dev, uint32_t offset, const uint8_t *data, uint32_t len)
{
    auto *s = static_cast<NandSim *>(dev);
    s->record("write", offset);
    uint32_t b = offset / s->blockSize_;
    if (!s->aligned(offset, len) || s->bad.count(b))
        return -1;
    for (uint32_t p = offset / s->pageSize_; p < (offset + len) / s->pageSize_; p++) {
        if (s->programmed_[p])
            return -1;  // NAND pages are programmed once per erase
        s->programmed_[p] = true;
    }
    std::vector<uint8_t> buf(data, data + len);
    if (s->failWrites[b] > 0) {
        s->failWrites[b]--;
        buf[len / 2] ^= 0x10;  // a stuck bit: the write "succeeds", the read-back tells
    }
    Fd fd(open(s->path_.c_str(), O_WRONLY));
    return pwrite(fd.get(), buf.data(), len, offset) == static_cast<ssize_t>(len) ? 0 : -1;
}

int NandSim::read(void *dev, uint32_t offset, uint8_t *data, uint32_t len)
{
    auto *s = static_cast<NandSim *>(dev);
    s->record("read", offset);
    if (!s->aligned(offset, len))
        return -1;
    Fd fd(open(s->path_.c_str(), O_RDONLY));
    return pread(fd.get(), data, len, offset) == static_cast<ssize_t>(len) ? 0 : -1;
}

int NandSim::markBad(void *dev, uint32_t offset)
{
    auto *s = static_cast<NandSim *>(dev);
    s->record("mark", offset);
    s->bad.insert(offset / s->blockSize_);
    return 0;
}

image_source MemoryImage::source()
{
    image_source s{};
    s.ctx = this;
    s.size = data.size();
    s.read = [](void *ctx, uint8_t *out, uint32_t len) -> long {
        auto *m = static_cast<MemoryImage *>(ctx);
        size_t n = std::min<size_t>(len, m->data.size() - m->pos);
        memcpy(out, m->data.data() + m->pos, n);
        m->pos += n;
        return static_cast<long>(n);
    };
    s.rewind = [](void *ctx) {
        static_cast<MemoryImage *>(ctx)->pos = 0;
        return 0;
    };
    return s;
}
