#include "Process.h"

#include "Exceptions.h"
#include "SysUtils.h"

#include <QProcess>
#include <QStringList>

namespace {
constexpr int kTailLines = 8;

// The last few lines a program printed, for the error box.
std::string Tail(const QByteArray& Output) {
  const QByteArray Printed = Output.trimmed();
  if (Printed.isEmpty()) return {};  // no stray line break after the message
  QList<QByteArray> Lines = Printed.split('\n');
  if (Lines.size() > kTailLines) Lines = Lines.mid(Lines.size() - kTailLines);
  std::string R;
  for (const QByteArray& L : Lines) R += "\r" + L.trimmed().toStdString();
  return R;
}
}  // namespace

void RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                std::chrono::milliseconds Timeout) {
  QStringList Arguments;
  for (const std::string& A : Args) Arguments << QString::fromStdString(A);
  const std::string Name = ExtractFileName(Program);

  QProcess P;
  P.setProcessChannelMode(QProcess::MergedChannels);
  P.setWorkingDirectory(QString::fromStdString(GetCurrentDir()));
  P.start(QString::fromStdString(Program), Arguments, QIODevice::ReadOnly);
  if (!P.waitForStarted(static_cast<int>(Timeout.count())))
    throw EProgramError("无法启动程序 " + Name + "（" + ExpandFileName(Program) + "）：" +
                        P.errorString().toStdString());
  if (!P.waitForFinished(static_cast<int>(Timeout.count()))) {
    P.kill();
    P.waitForFinished(5000);
    throw EProgramError("程序 " + Name + " 在 " + std::to_string(Timeout.count() / 1000) +
                        " 秒内没有结束，已终止。" + Tail(P.readAll()));
  }
  const std::string Printed = Tail(P.readAll());
  if (P.exitStatus() == QProcess::CrashExit)
    throw EProgramError("程序 " + Name + " 异常终止（被信号中止）。" + Printed);
  if (P.exitCode() != 0)
    throw EProgramError("程序 " + Name + " 运行失败，退出码 " + std::to_string(P.exitCode()) + "。" +
                        Printed);
}
