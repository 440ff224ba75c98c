#include "AppTestSupport.h"

#include "Controls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include <sys/stat.h>

namespace {
using WindowTest = WindowFixture;

TEST_F(WindowTest, FirstStartWritesTheProgramsAndTheSamplePicture) {
  StartProgram();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(ReadAll(ProgramDir / "temp/zip.exe"), ResourceBytes("ZIP"));
  EXPECT_EQ(ReadAll(ProgramDir / "temp/gzip.exe"), ResourceBytes("GZIP"));
  EXPECT_EQ(ReadAll(ProgramDir / "猛虎.jpg"), ResourceBytes("MENGHU"));
  EXPECT_FALSE(ResourceBytes("ZIP").empty());
  for (const char* Tool : {"temp/zip.exe", "temp/gzip.exe"}) {
    struct stat St {};
    ASSERT_EQ(::stat((ProgramDir / Tool).c_str(), &St), 0);
    EXPECT_TRUE(St.st_mode & S_IXUSR) << Tool;
  }
}

TEST_F(WindowTest, SecondStartRewritesAllThreeExactly) {
  fs::create_directories(ProgramDir / "temp");
  const std::string Longer(2 * 1024 * 1024, 'x');
  WriteAll(ProgramDir / "temp/zip.exe", Longer);
  WriteAll(ProgramDir / "temp/gzip.exe", Longer);
  WriteAll(ProgramDir / "猛虎.jpg", Longer);
  StartProgram();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(ReadAll(ProgramDir / "temp/zip.exe"), ResourceBytes("ZIP"));
  EXPECT_EQ(ReadAll(ProgramDir / "temp/gzip.exe"), ResourceBytes("GZIP"));
  EXPECT_EQ(ReadAll(ProgramDir / "猛虎.jpg"), ResourceBytes("MENGHU"));
}

TEST_F(WindowTest, UnwritableProgramDirectoryShowsTheErrorAndTheWindow) {
  // "temp" is a file, so neither the folder nor anything in it can be created (even as root).
  WriteAll(ProgramDir / "temp", "not a folder");
  StartProgram();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Cannot create file \"" + (ProgramDir / "temp/zip.exe").string() + "\". Not a directory");
  EXPECT_EQ(Boxes[0].Caption, App->Title);
  EXPECT_EQ(Boxes[0].Type, unsigned(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(fs::exists(ProgramDir / "猛虎.jpg")) << "the steps after the failing one ran";
  ASSERT_NE(Form1, nullptr);
  Form1->Show();
  EXPECT_TRUE(Form1->Handle()->isVisible());
}

TEST_F(WindowTest, TitleIsTheProgramNameUpToItsFirstDot) {
  StartProgram();
  EXPECT_EQ(App->Title, "app_tests");
}

TEST_F(WindowTest, WindowProperties) {
  StartProgram();
  QWidget* W = Form1->Handle();
  EXPECT_EQ(W->windowTitle().toStdString(), "生成u830第一屏ver3.2  vemol制作");
  EXPECT_EQ(W->width() + kWindowFrameWidth, 815);
  EXPECT_EQ(W->height() + kWindowFrameHeight, 527);
  EXPECT_EQ(W->pos(), QPoint(330, 158));
  EXPECT_FALSE(W->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(W->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(W->palette().color(QPalette::Window), QColor(240, 240, 240));
  EXPECT_EQ(W->font().family().toStdString(), "宋体");
  EXPECT_EQ(W->font().pixelSize(), 12);
}

struct ControlCase {
  const char* Name;
  int Left, Top, Width, Height;
  const char* Caption;  // "" where the control shows none
};
void PrintTo(const ControlCase& C, std::ostream* Os) { *Os << C.Name; }


class ControlTest : public WindowFixture, public testing::WithParamInterface<ControlCase> {};

TControl* ControlNamed(const std::string& N) {
  TForm1& F = *Form1;
  const std::pair<const char*, TControl*> All[] = {
      {"Label1", F.Label1}, {"Label2", F.Label2}, {"Label3", F.Label3}, {"Label4", F.Label4},
      {"Label5", F.Label5}, {"Label6", F.Label6}, {"j_bmp0", F.j_bmp0}, {"b_bmp0", F.b_bmp0},
      {"Memo1", F.Memo1},   {"btnNoBlank", F.btnNoBlank}, {"btnBlank", F.btnBlank}, {"rb128", F.rb128},
      {"RB256", F.RB256},   {"rb160", F.rb160},   {"rbauto", F.rbauto}};
  for (const auto& [Name, C] : All)
    if (N == Name) return C;
  return nullptr;
}

std::string ShownText(QWidget* W) {
  if (auto* L = qobject_cast<QLabel*>(W)) return L->text().toStdString();
  if (auto* B = qobject_cast<QAbstractButton*>(W)) return B->text().toStdString();
  return {};
}

TEST_P(ControlTest, PlaceAndCaption) {
  const ControlCase& C = GetParam();
  StartProgram();
  TControl* Control = ControlNamed(C.Name);
  ASSERT_NE(Control, nullptr);
  EXPECT_EQ(Control->Left(), C.Left);
  EXPECT_EQ(Control->Top(), C.Top);
  EXPECT_EQ(Control->Width(), C.Width);
  EXPECT_EQ(Control->Height(), C.Height);
  EXPECT_EQ(ShownText(Control->Widget()), C.Caption);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ControlTest,
    testing::Values(
        ControlCase{"Label1", 24, 104, 249, 13, "图片要求为320*480 24位bmp或者jpeg格式"},
        ControlCase{"Label3", 80, 16, 143, 24, "请随时关注下面链接\n不顶不要下、下了就得顶"},
        ControlCase{"Label4", 168, 456, 192, 24, "不能放到带空格的文件夹\n注意：桌面本身就是带空格的文件夹"},
        ControlCase{"Label5", 152, 352, 264, 24, "如果在win7下运行不正常\n那么就请放在非带空格文件夹下，用下面的按钮吧"},
        ControlCase{"j_bmp0", 480, 0, 320, 480, ""},
        ControlCase{"b_bmp0", 480, 0, 233, 289, ""},
        ControlCase{"Memo1", 0, 216, 473, 129, ""},
        ControlCase{"btnNoBlank", 8, 456, 137, 25, "选择图片开始生成 2"},
        ControlCase{"btnBlank", 0, 352, 145, 25, "选择图片开始生成 1"},
        ControlCase{"rb128", 16, 136, 249, 17, "128K版本（大部分人手机都是这种）"},
        ControlCase{"RB256", 16, 174, 329, 17, "256K版本（需要刷一个bin，把手机内参数改一下）"},
        ControlCase{"rb160", 16, 154, 329, 17, "160K版本（需要刷一个bin，把手机内参数改一下）"},
        ControlCase{"rbauto", 16, 192, 217, 17, "自动:从低到高自动选择合适的版本"}),
    [](const testing::TestParamInfo<ControlCase>& I) { return std::string(I.param.Name); });

TEST_F(WindowTest, LinkLabelsShowTheirAddresses) {
  StartProgram();
  EXPECT_EQ(Form1->Label2->Left(), 96);
  EXPECT_EQ(Form1->Label2->Top(), 48);
  EXPECT_EQ(Form1->Label6->Left(), 8);
  EXPECT_EQ(Form1->Label6->Top(), 72);
  EXPECT_EQ(Form1->Label2->Caption().rfind("https://", 0), 0u);
  EXPECT_EQ(Form1->Label6->Caption().rfind("我的所有资源：https://", 0), 0u);
  EXPECT_EQ(Form1->Label2->FontColor(), clActiveCaption);
  EXPECT_EQ(Form1->Label6->FontColor(), clActiveCaption);
  EXPECT_TRUE(Form1->Label3->Widget()->font().bold());
  EXPECT_EQ(Form1->Label2->Widget()->font().pixelSize(), 13);
  EXPECT_EQ(Form1->Label2->Widget()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(Form1->Label3->Widget()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(static_cast<QLabel*>(Form1->Label3->Widget())->alignment() & Qt::AlignHCenter);
}

TEST_F(WindowTest, StartState) {
  StartProgram();
  EXPECT_TRUE(Form1->rbauto->Checked());
  EXPECT_FALSE(Form1->rb128->Checked());
  EXPECT_FALSE(Form1->rb160->Checked());
  EXPECT_FALSE(Form1->RB256->Checked());
  EXPECT_TRUE(Form1->j_bmp0->Shown().isNull());
  EXPECT_TRUE(Form1->b_bmp0->Shown().isNull());
  EXPECT_TRUE(Form1->Memo1->ReadOnly());
  EXPECT_EQ(Form1->Memo1->Lines(), (std::vector<std::string>{
                                       "几种尺寸的区别：",
                                       "128K 适合大部分手机，以后刷机可以用中兴880及酷派8810刷机软件",
                                       "160K 需要刷一次Bin，且以后刷机可以用中兴880及酷派8810刷机软件",
                                       "256k 需要刷一次Bin，以后刷机不能用880刷机软件，只能用酷派8810刷机软件",
                                       "         （如果刷bin之前换成了小图片，那么就可以用中兴880刷机软件了。）",
                                       "选择自动，那么工具将根据实际图片选择合适的格式",
                                       "",
                                       "但是还有极少数人出厂时只能使用13k空间的图片，那些人必须刷一次bin修正一下参数",
                                       "；否则只能刷原版G3及其他这样非常简单的图片；",
                                   }));
  // b_bmp0 lies above j_bmp0.
  QWidget* Parent = Form1->Handle();
  const auto Children = Parent->children();
  EXPECT_GT(Children.indexOf(Form1->b_bmp0->Widget()), Children.indexOf(Form1->j_bmp0->Widget()));
}

TEST_F(WindowTest, RadioButtonsAreOneGroup) {
  StartProgram();
  static_cast<QRadioButton*>(Form1->rb160->Widget())->click();
  EXPECT_TRUE(Form1->rb160->Checked());
  EXPECT_FALSE(Form1->rbauto->Checked());
  static_cast<QRadioButton*>(Form1->rb128->Widget())->click();
  EXPECT_TRUE(Form1->rb128->Checked());
  EXPECT_FALSE(Form1->rb160->Checked());
}

TEST_F(WindowTest, TabOrder) {
  StartProgram();
  const std::vector<TControl*> Order = {Form1->btnNoBlank, Form1->btnBlank, Form1->rb128, Form1->RB256,
                                        Form1->rb160,      Form1->Memo1,    Form1->rbauto};
  // The next control that takes focus by Tab, as the focus chain gives it.
  const auto NextTabStop = [](QWidget* W) {
    do W = W->nextInFocusChain();
    while (!(W->focusPolicy() & Qt::TabFocus));
    return W;
  };
  for (std::size_t I = 0; I + 1 < Order.size(); ++I)
    EXPECT_EQ(NextTabStop(Order[I]->Widget()), Order[I + 1]->Widget()) << I;
  EXPECT_EQ(Form1->Label2->Widget()->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(Form1->j_bmp0->Widget()->focusPolicy(), Qt::NoFocus);
}

TEST_F(WindowTest, ButtonsCarryTheTwoPartGlyph) {
  StartProgram();
  for (TBitBtn* B : {Form1->btnBlank, Form1->btnNoBlank}) {
    auto* Button = static_cast<QPushButton*>(B->Widget());
    EXPECT_FALSE(Button->icon().isNull());
    EXPECT_EQ(Button->iconSize(), QSize(16, 16));
    const QImage Normal = Button->icon().pixmap(16, 16, QIcon::Normal).toImage();
    const QImage Disabled = Button->icon().pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_NE(Normal, Disabled);
    EXPECT_EQ(qAlpha(Normal.pixel(0, 15)), 0) << "the olive background is not transparent";
  }
}

void Hover(TLabel* L, bool Enter) {
  if (Enter) {
    QEnterEvent E(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(L->Widget(), &E);
  } else {
    QEvent E(QEvent::Leave);
    QApplication::sendEvent(L->Widget(), &E);
  }
}

TEST_F(WindowTest, HoverColoursOfTheLinkLabels) {
  StartProgram();
  for (TLabel* L : {Form1->Label2, Form1->Label6}) {
    Hover(L, true);
    EXPECT_EQ(L->FontColor(), 255u);
    EXPECT_EQ(L->Widget()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    Hover(L, false);
    EXPECT_EQ(L->FontColor(), 0xFF0000u);
    EXPECT_EQ(L->Widget()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    Hover(L, true);
    Hover(L, false);
    EXPECT_EQ(L->FontColor(), 0xFF0000u) << "never back to its first colour";
  }
  Hover(Form1->Label3, true);
  EXPECT_EQ(Form1->Label3->FontColor(), clBlack);
}

TEST_F(WindowTest, LinkClicksOpenTheirPages) {
  StartProgram();
  for (TLabel* L : {Form1->Label2, Form1->Label3, Form1->Label6})
    QTest::mouseClick(L->Widget(), Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_EQ(Opened.size(), 3u);
  EXPECT_EQ(Opened[0], Opened[1]) << "Label2 and Label3 open the same forum page";
  EXPECT_EQ(Form1->Label6->Caption(), "我的所有资源：" + Opened[2]);
  EXPECT_NE(Opened[0], Form1->Label2->Caption()) << "the forum link opens the redirect, not the thread";
  EXPECT_EQ(Opened[0].rfind("https://", 0), 0u);
}

TEST_F(WindowTest, CloseReleasesThePictureObjects) {
  StartProgram();
  EXPECT_NE(Form1->SourceBitmap(), nullptr);
  EXPECT_NE(Form1->WorkBitmap(), nullptr);
  EXPECT_NE(Form1->Jpeg(), nullptr);
  Form1->Close();
  EXPECT_EQ(Form1->SourceBitmap(), nullptr);
  EXPECT_EQ(Form1->WorkBitmap(), nullptr);
  EXPECT_EQ(Form1->Jpeg(), nullptr);
  CloseProgram();  // a second close and the window's end release nothing twice (ASan watches)
}

TEST_F(WindowTest, CancelledDialogChangesNothing) {
  StartProgram();
  const std::string Before = fs::current_path().string();
  fs::remove_all(ProgramDir / "temp");
  Click(Form1->btnBlank, std::nullopt);
  Click(Form1->btnNoBlank, std::nullopt);
  EXPECT_EQ(DialogsShown, 2);
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(fs::current_path().string(), Before);
  EXPECT_FALSE(fs::exists(ProgramDir / "temp"));
}
}  // namespace
