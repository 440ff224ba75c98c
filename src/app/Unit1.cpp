#include "Unit1.h"

#include "Assembly.h"
#include "Capacity.h"
#include "Classes.h"
#include "Compress.h"
#include "EmbeddedFiles.h"
#include "LogoImage.h"
#include "OutputName.h"
#include "PictureIntake.h"
#include "RunPaths.h"
#include "SysUtils.h"
#include "WebLinks.h"

#include <QImage>

TForm1* Form1 = nullptr;

namespace {
const TFontSpec kLinkFont{"宋体", -13, clActiveCaption, 0};
const TFontSpec kLabel1Font{"宋体", -13, clBlack, 0};
const TFontSpec kLabel3Font{"宋体", -12, clBlack, fsBold};
}  // namespace

TForm1::TForm1() {
  BuildControls();
  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TForm1::~TForm1() {
  delete FSourceBitmap;
  delete FWorkBitmap;
  delete FJpeg;
  delete od1;
}

// The form definition: properties and controls in their creation order.
void TForm1::BuildControls() {
  SetCaption("生成u830第一屏ver3.2  vemol制作");
  SetBorderIcons(biSystemMenu | biMinimize);
  SetBounds(330, 158, 815, 527);
  SetColor(clBtnFace);
  SetFont("宋体", 12);

  Label1 = new TLabel(this);
  Label1->SetBounds(24, 104, 249, 13);
  Label1->SetCaption("图片要求为320*480 24位bmp或者jpeg格式");
  Label1->SetFont(kLabel1Font);
  Label1->SetWordWrap(true);

  Label2 = new TLabel(this);
  Label2->SetBounds(96, 48, 308, 13);
  Label2->SetCaption(kForumThreadUrl);
  Label2->SetFont(kLinkFont);
  Label2->SetCursor(crHandPoint);
  Label2->OnClick = [this](TObject* S) { Label2Click(S); };
  Label2->OnMouseEnter = [this](TObject* S) { Label2MouseEnter(S); };
  Label2->OnMouseLeave = [this](TObject* S) { Label2MouseLeave(S); };

  Label3 = new TLabel(this);
  Label3->SetBounds(80, 16, 143, 24);
  Label3->SetCaption("请随时关注下面链接\r不顶不要下、下了就得顶");
  Label3->SetFont(kLabel3Font);
  Label3->SetAlignment(taCenter);
  Label3->SetCursor(crHandPoint);
  Label3->OnClick = [this](TObject* S) { Label3Click(S); };

  Label4 = new TLabel(this);
  Label4->SetBounds(168, 456, 192, 24);
  Label4->SetCaption("不能放到带空格的文件夹\r注意：桌面本身就是带空格的文件夹");

  Label5 = new TLabel(this);
  Label5->SetBounds(152, 352, 264, 24);
  Label5->SetCaption("如果在win7下运行不正常\r那么就请放在非带空格文件夹下，用下面的按钮吧");

  j_bmp0 = new TImage(this);
  j_bmp0->SetBounds(480, 0, 320, 480);
  j_bmp0->SetAutoSize(true);

  b_bmp0 = new TImage(this);
  b_bmp0->SetBounds(480, 0, 233, 289);
  b_bmp0->SetAutoSize(true);

  Label6 = new TLabel(this);
  Label6->SetBounds(8, 72, 364, 13);
  Label6->SetCaption(std::string("我的所有资源：") + kDownloadListUrl);
  Label6->SetFont(kLinkFont);
  Label6->SetCursor(crHandPoint);
  Label6->OnClick = [this](TObject* S) { Label6Click(S); };
  Label6->OnMouseEnter = [this](TObject* S) { Label6MouseEnter(S); };
  Label6->OnMouseLeave = [this](TObject* S) { Label6MouseLeave(S); };

  Memo1 = new TMemo(this);
  Memo1->SetBounds(0, 216, 473, 129);
  Memo1->SetLines({
      "几种尺寸的区别：",
      "128K 适合大部分手机，以后刷机可以用中兴880及酷派8810刷机软件",
      "160K 需要刷一次Bin，且以后刷机可以用中兴880及酷派8810刷机软件",
      "256k 需要刷一次Bin，以后刷机不能用880刷机软件，只能用酷派8810刷机软件",
      "         （如果刷bin之前换成了小图片，那么就可以用中兴880刷机软件了。）",
      "选择自动，那么工具将根据实际图片选择合适的格式",
      "",
      "但是还有极少数人出厂时只能使用13k空间的图片，那些人必须刷一次bin修正一下参数",
      "；否则只能刷原版G3及其他这样非常简单的图片；",
  });
  Memo1->SetReadOnly(true);

  const QImage Glyph(QString::fromLatin1(u830::resources::kArrowGlyphPath));

  btnNoBlank = new TBitBtn(this);
  btnNoBlank->SetBounds(8, 456, 137, 25);
  btnNoBlank->SetCaption("选择图片开始生成 2");
  btnNoBlank->SetGlyph(Glyph, 2);
  btnNoBlank->OnClick = [this](TObject* S) { btnNoBlankClick(S); };

  btnBlank = new TBitBtn(this);
  btnBlank->SetBounds(0, 352, 145, 25);
  btnBlank->SetCaption("选择图片开始生成 1");
  btnBlank->SetGlyph(Glyph, 2);
  btnBlank->OnClick = [this](TObject* S) { btnBlankClick(S); };

  rb128 = new TRadioButton(this);
  rb128->SetBounds(16, 136, 249, 17);
  rb128->SetCaption("128K版本（大部分人手机都是这种）");

  RB256 = new TRadioButton(this);
  RB256->SetBounds(16, 174, 329, 17);
  RB256->SetCaption("256K版本（需要刷一个bin，把手机内参数改一下）");
  RB256->SetWordWrap(true);

  rb160 = new TRadioButton(this);
  rb160->SetBounds(16, 154, 329, 17);
  rb160->SetCaption("160K版本（需要刷一个bin，把手机内参数改一下）");

  rbauto = new TRadioButton(this);
  rbauto->SetBounds(16, 192, 217, 17);
  rbauto->SetCaption("自动:从低到高自动选择合适的版本");
  rbauto->SetChecked(true);

  od1 = new TOpenPictureDialog(Handle());
  od1->Filter = "bmp,jpg|*.bmp;*.jpg|Bitmaps (*.bmp)|*.bmp|JPEG Image File (*.jpg)|*.jpg";

  SetTabOrder({btnNoBlank, btnBlank, rb128, RB256, rb160, Memo1, rbauto});
}

void TForm1::FormCreate(TObject*) {
  FSourceBitmap = new TBitmap();
  FWorkBitmap = new TBitmap();
  FJpeg = new TJPEGImage();
  const std::string ProgramDir = ExtractFilePath(Application->ExeName);
  if (!DirectoryExists(ProgramDir + "temp")) ForceDirectories(ProgramDir + "temp");
  const auto WriteProgram = [](const char* Name, const std::string& Path) {
    TResourceStream(Name, "file").SaveToFile(Path);
    SetExecutable(Path);
  };
  WriteProgram("zip", ProgramDir + "temp/zip.exe");
  WriteProgram("gzip", ProgramDir + "temp/gzip.exe");
  TResourceStream("MengHu", "file").SaveToFile(ProgramDir + "猛虎.jpg");
}

void TForm1::FormClose(TObject*, TCloseAction&) {
  delete FSourceBitmap;
  FSourceBitmap = nullptr;
  delete FWorkBitmap;
  FWorkBitmap = nullptr;
  delete FJpeg;
  FJpeg = nullptr;
}

void TForm1::btnNoBlankClick(TObject*) { GenerateFromPicture(false); }
void TForm1::btnBlankClick(TObject*) { GenerateFromPicture(true); }

void TForm1::Label2MouseEnter(TObject*) { Label2->SetFontColor(255); }
void TForm1::Label2MouseLeave(TObject*) { Label2->SetFontColor(0xFF0000); }
void TForm1::Label6MouseEnter(TObject*) { Label6->SetFontColor(255); }
void TForm1::Label6MouseLeave(TObject*) { Label6->SetFontColor(0xFF0000); }

void TForm1::Label2Click(TObject*) { ShellExecuteA(Handle(), nullptr, kForumPostUrl, nullptr, nullptr, SW_SHOWNORMAL); }
void TForm1::Label3Click(TObject*) { ShellExecuteA(Handle(), nullptr, kForumPostUrl, nullptr, nullptr, SW_SHOWNORMAL); }
void TForm1::Label6Click(TObject*) {
  ShellExecuteA(Handle(), nullptr, kDownloadListUrl, nullptr, nullptr, SW_SHOWNORMAL);
}

void TForm1::SaveRgb565(const std::string& FileName) {
  ::SaveRgb565(*FWorkBitmap, FileName, FRowBuffer, FScanPtr, FRowPtr);
}

void TForm1::GenerateFromPicture(bool RelativePaths) {
  if (!od1->Execute()) return;
  const std::string ProgramDir = ExtractFilePath(Application->ExeName);
  SetCurrentDir(ProgramDir);
  const RunPaths Paths(RelativePaths ? "./" : ProgramDir, od1->FileName);
  if (!DirectoryExists(Paths.WorkDir)) ForceDirectories(Paths.WorkDir);
  const std::string PickedFile = od1->FileName;
  const std::string NameBase = OutputNameBase(ExtractFileName(PickedFile));
  CopyFileA(PickedFile, Paths.PictureCopy, false);

  // The extension alone picks the picture object; the content is read by it.
  TImage* Preview = nullptr;
  TGraphic* Source = nullptr;
  switch (PictureKindOf(Paths.PictureCopy)) {
    case TPictureKind::Bmp:
      j_bmp0->SetVisible(false);
      b_bmp0->SetVisible(true);
      Preview = b_bmp0;
      Source = FSourceBitmap;
      break;
    case TPictureKind::Jpeg:
      j_bmp0->SetVisible(true);
      b_bmp0->SetVisible(false);
      Preview = j_bmp0;
      Source = FJpeg;
      break;
    case TPictureKind::Refused:
      ShowMessage(std::string(kWrongFormatMessage));
      return;
  }
  Preview->Picture()->LoadFromFile(Paths.PictureCopy);
  Source->LoadFromFile(Paths.PictureCopy);
  DrawIntoWorkBitmap(*FWorkBitmap, *Source);
  if (SizeWarningDue(FWorkBitmap->Width(), FWorkBitmap->Height())) ShowMessage(std::string(kWrongSizeMessage));
  SaveRgb565(Paths.RawFrame);

  std::unique_ptr<TFileStream> Compressed = CompressFrame(Paths.BasePath, Paths.RawFrame);
  const std::int64_t L = Compressed->Size();
  const TCapacityChoice Choice = ChooseCapacity(rbauto->Checked(), RB256->Checked(), rb160->Checked(), L);
  if (!Choice.Accepted) {
    ShowMessage(TooLargeMessage(Choice.Capacity.PayloadLimit, L));
    Compressed.reset();
    DeleteFile(Paths.PictureCopy);
    DeleteFile(Paths.CompressedFrame);
    return;
  }
  const std::string Label(Choice.Capacity.Label);
  const std::string Output = OutputName(NameBase, Label);

  WriteVersionAndReadme(Paths, Choice.Capacity.PayloadLimit, Label);
  {
    TResourceStream Base("logo_new", "file");
    WriteLogoImage(Base, *Compressed, Choice.Capacity, Paths.LogoImage);
  }
  Compressed.reset();
  FillWorkingPackage(Paths, Label);
  PublishPackage(Paths, Paths.UpdatePackage(Output), Label);
  DeleteWorkingFiles(Paths, Label);
  MessageBoxA(Handle(), "完成了!\r\r新文件名为 " + Output + "\r" + "版本为" + Label, "完成了!",
              MB_OK | MB_ICONINFORMATION);
}
