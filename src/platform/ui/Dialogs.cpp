#include "Dialogs.h"

#include "Forms.h"
#include "Controls.h"
#include "Graphics.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace {
Seam::Hooks* CurrentHooks = nullptr;

QString BoxText(const std::string& Text) {
  return QString::fromStdString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QChar('\r'), QChar('\n'));
}

QMessageBox::Icon IconOf(unsigned Type) {
  switch (Type & 0xF0) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// "bmp,jpg|*.bmp;*.jpg|…" as Qt's "bmp,jpg (*.bmp *.jpg);;…".
QStringList QtFilters(const std::string& Filter) {
  const QStringList Parts = QString::fromStdString(Filter).split(QChar('|'));
  QStringList Result;
  for (qsizetype I = 0; I + 1 < Parts.size(); I += 2)
    Result << Parts[I] + " (" + QString(Parts[I + 1]).replace(QChar(';'), QChar(' ')) + ")";
  return Result;
}

// The preview pane beside the file list: the selected picture, scaled down to fit.
void AddPreview(QFileDialog& Dialog) {
  auto* Layout = qobject_cast<QGridLayout*>(Dialog.layout());
  if (!Layout) return;
  auto* Preview = new QLabel(&Dialog);
  Preview->setObjectName(QStringLiteral("preview"));
  Preview->setFixedSize(160, 240);
  Preview->setAlignment(Qt::AlignCenter);
  Preview->setFrameShape(QFrame::StyledPanel);
  Layout->addWidget(Preview, 0, Layout->columnCount(), Layout->rowCount(), 1);
  QObject::connect(&Dialog, &QFileDialog::currentChanged, Preview, [Preview](const QString& Path) {
    QImage Image;
    try {
      std::unique_ptr<TGraphic> Picture = GraphicForFile(Path.toStdString());
      if (Picture) Picture->LoadFromFile(Path.toStdString());
      if (Picture) Image = Picture->Image();
    } catch (...) {
      // A file that is no picture simply shows no preview.
    }
    Preview->setPixmap(Image.isNull() ? QPixmap()
                                      : QPixmap::fromImage(Image.scaled(Preview->size(), Qt::KeepAspectRatio,
                                                                        Qt::SmoothTransformation)));
  });
}
}  // namespace

namespace Seam {
Scope::Scope(Hooks H) { CurrentHooks = new Hooks(std::move(H)); }
Scope::~Scope() {
  delete CurrentHooks;
  CurrentHooks = nullptr;
}
const Hooks* Current() { return CurrentHooks; }
}  // namespace Seam

int MessageBoxA(HWND Owner, const std::string& Text, const std::string& Caption, unsigned Type) {
  if (CurrentHooks && CurrentHooks->MessageBox) {
    CurrentHooks->MessageBox({Text, Caption, Type, Owner != nullptr});
    return IDOK;
  }
  QMessageBox Box(IconOf(Type), QString::fromStdString(Caption), BoxText(Text), QMessageBox::Ok, Owner);
  Box.setWindowModality(Qt::ApplicationModal);
  Box.exec();
  return IDOK;
}

void ShowMessage(const std::string& Text) { MessageBoxA(nullptr, Text, Application->Title, MB_OK); }

int ShellExecuteA(HWND, const char* Operation, const std::string& File, const char*, const char*, int) {
  if (CurrentHooks && CurrentHooks->ShellExecute) {
    CurrentHooks->ShellExecute(File);
    return 33;
  }
  if (Operation != nullptr) return 0;  // only the default action on an address is served
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(File))) ? 33 : 0;
}

bool TOpenPictureDialog::Execute() {
  if (CurrentHooks && CurrentHooks->OpenDialog) {
    const std::optional<std::string> Chosen = CurrentHooks->OpenDialog(*this);
    if (!Chosen) return false;
    FileName = *Chosen;
    return true;
  }
  QFileDialog Dialog(FOwner);
  Dialog.setOption(QFileDialog::DontUseNativeDialog);
  Dialog.setAcceptMode(QFileDialog::AcceptOpen);
  Dialog.setFileMode(QFileDialog::AnyFile);  // a typed name of a missing file is returned too
  Dialog.setFilter(Dialog.filter() & ~QDir::CaseSensitive);
  Dialog.setNameFilters(QtFilters(Filter));
  AddPreview(Dialog);
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return false;
  FileName = QFileInfo(Dialog.selectedFiles().front()).absoluteFilePath().toStdString();
  return true;
}
