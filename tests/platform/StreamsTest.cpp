#include "Classes.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const Exception& E) {
    return E.Message();
  }
  return "(no exception)";
}

TEST(FileStream, WritesReadsSeeksAndReportsItsSize) {
  TTempDir Dir;
  const std::string Name = Dir.Path() + "a.bin";
  {
    TFileStream F(Name, fmCreate);
    F.WriteBuffer("abcdef", 6);
    EXPECT_EQ(F.Size(), 6);
    EXPECT_EQ(F.Position(), 6);  // Size leaves the position where it was
  }
  TFileStream F(Name, fmOpenRead);
  F.SetPosition(2);
  char Buf[4] = {};
  F.ReadBuffer(Buf, 3);
  EXPECT_EQ(std::string(Buf, 3), "cde");
  EXPECT_THROW(F.ReadBuffer(Buf, 4), EReadError);  // only one byte left
  EXPECT_EQ(F.Write("x", 1), 0);                   // opened read-only
}

TEST(FileStream, CreateTruncatesAnExistingFile) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "a", TBytes(100, 1));
  TFileStream F(Dir.Path() + "a", fmCreate);
  EXPECT_EQ(F.Size(), 0);
}

TEST(FileStream, OpenErrorsNameTheFullPathAndTheReason) {
  TTempDir Dir;
  EXPECT_EQ(MessageOf([&] { TFileStream F(Dir.Path() + "missing", fmOpenRead); }),
            "Cannot open file \"" + Dir.Path() + "missing\". No such file or directory");
  EXPECT_EQ(MessageOf([&] { TFileStream F(Dir.Path() + "no/such.bin", fmCreate); }),
            "Cannot create file \"" + Dir.Path() + "no/such.bin\". No such file or directory");
}

TEST(FileStream, RelativeNamesAreReportedInFull) {
  TTempDir Dir;
  const std::string Old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Dir.Path()));
  const std::string M = MessageOf([] { TFileStream F("./temp/x.gz", fmOpenRead); });
  SetCurrentDir(Old);
  EXPECT_EQ(M, "Cannot open file \"" + Dir.Path() + "temp/x.gz\". No such file or directory");
}

TEST(FileStream, ExclusiveOpenKeepsOthersOut) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "f.gz", TBytes(10, 0));
  auto First = std::make_unique<TFileStream>(Dir.Path() + "f.gz", fmOpenRead | fmShareExclusive);
  EXPECT_THROW(TFileStream(Dir.Path() + "f.gz", fmOpenRead | fmShareExclusive), EFOpenError);
  First.reset();
  EXPECT_NO_THROW(TFileStream(Dir.Path() + "f.gz", fmOpenRead | fmShareExclusive));
}

TEST(FileStream, AFullDiskRaisesStreamWriteError) {
  TFileStream F("/dev/full", fmCreate);
  EXPECT_EQ(MessageOf([&] { F.WriteBuffer("abc", 3); }), "Stream write error");
}

TEST(BufferedFileStream, GathersWritesAndKeepsTheirOrder) {
  TTempDir Dir;
  const TBytes Data = PseudoRandomBytes(100000, 3);
  {
    TBufferedFileStream F(Dir.Path() + "b", fmCreate, 1000);
    // Pieces smaller than, equal to and larger than the buffer.
    std::size_t At = 0;
    for (std::size_t Piece : {1u, 640u, 999u, 1000u, 5000u, 7u}) {
      while (At + Piece <= Data.size() && At < 60000) {
        F.WriteBuffer(Data.data() + At, static_cast<std::int64_t>(Piece));
        At += Piece;
      }
    }
    F.WriteBuffer(Data.data() + At, static_cast<std::int64_t>(Data.size() - At));
    EXPECT_EQ(F.Position(), 100000);
    F.FlushBuffer();
  }
  EXPECT_EQ(ReadBytes(Dir.Path() + "b"), Data);
}

TEST(BufferedFileStream, AFullDiskRaisesStreamWriteErrorOnFlush) {
  TBufferedFileStream F("/dev/full", fmCreate);
  F.WriteBuffer("abc", 3);
  EXPECT_EQ(MessageOf([&] { F.FlushBuffer(); }), "Stream write error");
}

TEST(FileStream, CopyFromCopiesAllOrACount) {
  TTempDir Dir;
  const TBytes Data = PseudoRandomBytes(200000, 7);  // more than one block
  WriteBytes(Dir.Path() + "src", Data);
  TFileStream Src(Dir.Path() + "src", fmOpenRead);
  {
    TFileStream Dst(Dir.Path() + "all", fmCreate);
    Src.SetPosition(123);
    EXPECT_EQ(Dst.CopyFrom(Src, 0), 200000);  // 0: the whole source from its start
  }
  EXPECT_EQ(ReadBytes(Dir.Path() + "all"), Data);
  {
    TFileStream Dst(Dir.Path() + "part", fmCreate);
    Src.SetPosition(10);
    EXPECT_EQ(Dst.CopyFrom(Src, 100), 100);
  }
  EXPECT_EQ(ReadBytes(Dir.Path() + "part"), TBytes(Data.begin() + 10, Data.begin() + 110));
  TFileStream Dst(Dir.Path() + "over", fmCreate);
  Src.SetPosition(199990);
  EXPECT_THROW(Dst.CopyFrom(Src, 100), EReadError);
}

TEST(FileStream, ClosesItsDescriptorWhenItGoes) {
  TTempDir Dir;
  const int Before = OpenDescriptorCount();
  { TFileStream F(Dir.Path() + "a", fmCreate); }
  try {
    TFileStream F(Dir.Path() + "missing", fmOpenRead);
  } catch (const EFOpenError&) {
  }
  EXPECT_EQ(OpenDescriptorCount(), Before);
}

TEST(ResourceStream, AMissingResourceIsNamedAsSpelt) {
  // This test program embeds no data files.
  EXPECT_EQ(MessageOf([] { TResourceStream R("No_Such", "file"); }), "Resource No_Such not found");
  EXPECT_EQ(MessageOf([] { TResourceStream R("logo_new", "RCDATA"); }), "Resource logo_new not found");
}
}  // namespace
