#include "Exceptions.h"
#include "Process.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;

std::string FailureOf(const std::vector<std::string>& Args, std::chrono::milliseconds Timeout = 10s) {
  try {
    RunProgram("/bin/sh", Args, Timeout);
  } catch (const EProgramError& E) {
    return E.Message();
  }
  return "(no error)";
}

bool Has(const std::string& S, const std::string& Part) { return S.find(Part) != std::string::npos; }

TEST(RunProgram, ASuccessfulProgramRaisesNothing) { EXPECT_NO_THROW(RunProgram("/bin/sh", {"-c", "exit 0"})); }

TEST(RunProgram, ArgumentsStayWholeAndTheCurrentDirectoryIsTheWorkingDirectory) {
  TTempDir Dir;
  const std::string Old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Dir.Path()));
  RunProgram("/bin/sh", {"-c", "printf '%s|%s' \"$1\" \"$2\" > out.txt", "sh", "a b/c d.raw", "-fkq9"});
  SetCurrentDir(Old);
  const TBytes Out = ReadBytes(Dir.Path() + "out.txt");
  EXPECT_EQ(std::string(Out.begin(), Out.end()), "a b/c d.raw|-fkq9");
}

TEST(RunProgram, ANonZeroStatusIsAnErrorWithTheStatusAndTheLastLines) {
  std::string Script = "for i in $(seq 1 20); do echo line$i; done; echo oops >&2; exit 3";
  const std::string M = FailureOf({"-c", Script});
  EXPECT_TRUE(Has(M, "sh")) << M;
  EXPECT_TRUE(Has(M, "退出码 3")) << M;
  EXPECT_TRUE(Has(M, "line20")) << M;
  EXPECT_TRUE(Has(M, "oops")) << M;       // stderr is part of what it printed
  EXPECT_FALSE(Has(M, "line12\r")) << M;  // only the tail
}

TEST(RunProgram, DeathByASignalIsAnError) {
  const std::string M = FailureOf({"-c", "echo dying; kill -9 $$"});
  EXPECT_TRUE(Has(M, "信号")) << M;
  EXPECT_TRUE(Has(M, "dying")) << M;
}

TEST(RunProgram, AProgramThatOverrunsIsKilledAndReported) {
  const std::string M = FailureOf({"-c", "echo started; exec sleep 30"}, 300ms);
  EXPECT_TRUE(Has(M, "没有结束")) << M;
  EXPECT_TRUE(Has(M, "started")) << M;
}

TEST(RunProgram, AMissingProgramCannotStart) {
  TTempDir Dir;
  try {
    RunProgram(Dir.Path() + "temp/gzip.exe", {"-fkq9", "x"});
    FAIL();
  } catch (const EProgramError& E) {
    EXPECT_TRUE(Has(E.Message(), "gzip.exe")) << E.Message();
    EXPECT_TRUE(Has(E.Message(), "无法启动")) << E.Message();
  }
}

TEST(RunProgram, AProgramFileThatIsNotExecutableCannotStart) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "gzip.exe", {'#', '!'});
  try {
    RunProgram(Dir.Path() + "gzip.exe", {});
    FAIL();
  } catch (const EProgramError& E) {
    EXPECT_TRUE(Has(E.Message(), "gzip.exe")) << E.Message();
  }
}
}  // namespace

namespace {
TEST(RunProgram, AProgramThatPrintedNothingGivesAMessageWithoutATail) {
  const std::string M = FailureOf({"-c", "exit 4"});
  EXPECT_TRUE(Has(M, "退出码 4")) << M;
  EXPECT_NE(M.back(), '\r') << M;
}
}  // namespace
