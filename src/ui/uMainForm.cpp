#include "uMainForm.h"

#include "FailureReport.h"
#include "Lifecycle.h"
#include "Look.h"
#include "uDownloadForm.h"

#include "core/FileIo.h"
#include "core/Hutil32.h"
#include "core/ProgramPaths.h"
#include "core/Share.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace tandrel::ui {
namespace {

constexpr int kWidth = 980, kHeight = 939;

QLabel* Heading(QWidget* parent, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setFont(look::YaHei(13, true));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, look::kHeading);
  label->setPalette(palette);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

TMainForm::TMainForm(MainFormOptions options)
    : options_(std::move(options)),
      Image6_(new WindowMovePicture(this, QRect(0, 0, kWidth, kHeight), Picture::Fit::Stretch)),
      Label2_(Heading(this, QStringLiteral("进入游戏"), {854, 100})),
      Label1_(Heading(this, QStringLiteral("新区开区时间"), {712, 100})),
      Image1_(new PressPicture(this, QRect(31, 103, 115, 16))),
      Image2_(new WindowMovePicture(this, QRect(85, 17, 800, 70), Picture::Fit::CentreUnscaled)),
      Image7_(new PressPicture(this, QRect(956, 8, 16, 16))),
      Image8_(new PressPicture(this, QRect(934, 8, 16, 16))),
      ControlList1_(new ServerListView(art_, [this] { return loader_.Config(); }, this)),
      loader_(NetHTTPClient1_, *ControlList1_, options_.site) {
  setWindowTitle(QStringLiteral("MainForm"));
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, look::kListBackground);  // Panel1
  setPalette(palette);

  Image6_->SetPixmap(art_.Background());
  Image1_->SetPixmap(art_.Refresh());
  Image7_->SetPixmap(art_.Close());
  Image8_->SetPixmap(art_.Minimise());
  ControlList1_->setGeometry(13, 123, 952, 800);
  ControlList1_->setFocus();

  connect(Image1_, &PressPicture::clicked, this, [this] { Guarded([this] { Image1Click(); }); });
  connect(Image7_, &PressPicture::clicked, this, [this] { Guarded([this] { Image7Click(); }); });
  connect(Image8_, &PressPicture::clicked, this, [this] { Guarded([this] { Image8Click(); }); });
  connect(ControlList1_, &ServerListView::enterGameClicked, this,
          [this](int row) { Guarded([&] { ControlListButton1Click(row); }); });
  connect(ControlList1_, &ServerListView::webSiteClicked, this,
          [this](int row) { Guarded([&] { ControlListButton2Click(row); }); });

  const auto timer = [this](QTimer& t, std::chrono::milliseconds interval, bool once, void (TMainForm::*handler)()) {
    t.setInterval(interval);
    t.setSingleShot(once);
    connect(&t, &QTimer::timeout, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  };
  // Timer2 and Timer3 disable themselves; single-shot keeps them off also when their handler fails.
  timer(Timer1_, options_.timer1, false, &TMainForm::Timer1Timer);
  timer(Timer2_, options_.timer2, true, &TMainForm::Timer2Timer);
  timer(Timer3_, options_.timer3, true, &TMainForm::Timer3Timer);
  timer(Timer4_, options_.timer4, false, &TMainForm::Timer4Timer);
  Timer1_.start();

  if (options_.placement) placement_ = options_.placement(*this, NetHTTPClient1_);
  PlaceOnScreen();
  Guarded([this] { FormCreate(); });
}

TMainForm::~TMainForm() { FormDestroy(); }

QTimer& TMainForm::Timer(int number) {
  switch (number) {
    case 1: return Timer1_;
    case 2: return Timer2_;
    case 3: return Timer3_;
    case 4: return Timer4_;
    default: throw std::out_of_range("no such timer");
  }
}

void TMainForm::PlaceOnScreen() {
  // Centred on the primary screen, never above or left of its top-left corner.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(std::max(screen.left(), screen.left() + (screen.width() - kWidth) / 2),
       std::max(screen.top(), screen.top() + (screen.height() - kHeight) / 2));
}

void TMainForm::FormCreate() {
  LaunchSuffix = LaunchSuffixOf(ExeFileName());
  if (placement_ && placement_->RelocateIfNeeded()) return;
  if (placement_ && placement_->CheckSelfUpdate()) {
    RequestTermination();
    // Closes by itself: termination is already requested.
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), QStringLiteral("结束进程1"), QMessageBox::Ok);
    ShowModal(box);
  }
  Delay(100);
  Timer2_.start();
  Timer4_.start();
  if (placement_) placement_->CreateDesktopShortcut(ShortcutName());
  EnsureFolder(Folder() + "Downloads/");
  EnsureFolder(Folder() + "Tmp/");
}

void TMainForm::FormDestroy() {
  // The trace tag goes out untrimmed, all 150 bytes, as one line.
  const auto tag = TraceTag();
  std::fwrite(tag.data(), 1, tag.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  loader_.ReleaseConfig();
}

void TMainForm::Timer1Timer() { ControlList1_->RepaintNow(); }

void TMainForm::Timer2Timer() {
  Timer2_.stop();
  LoadLogo();
  LoadServerList();
  Timer3_.start();
}

void TMainForm::Timer3Timer() {
  Timer3_.stop();
  if (placement_) placement_->CleanUpLeftovers();
}

void TMainForm::Timer4Timer() {
  ControlList1_->ClearSelection();
  LoadServerList();
}

void TMainForm::Image1Click() {
  ControlList1_->ClearSelection();
  LoadServerList();
}

void TMainForm::Image7Click() { close(); }

void TMainForm::Image8Click() { showMinimized(); }

void TMainForm::LoadLogo() {
  http::Bytes bytes;
  try {
    bytes = loader_.LoadLogo();
  } catch (const http::Error&) {
    ShowMessage(this, QMessageBox::Critical, QStringLiteral("提示"), QStringLiteral("网络连接失败"));
    return;
  }
  QPixmap banner;
  // The format is told by the content, not by the name or the headers.
  if (!banner.loadFromData(bytes.data(), static_cast<uint>(bytes.size()))) {
    throw std::runtime_error("Unsupported stream format");
  }
  Image2_->SetPixmap(banner);
}

void TMainForm::LoadServerList() { loader_.LoadServerList(); }

const TBoxConfig& TMainForm::EntryAt(int row) const {
  const TConfig* config = loader_.Config();
  if (!config || row < 0 || static_cast<std::size_t>(row) >= config->ServerList().size()) {
    throw std::out_of_range("Argument out of range: row " + std::to_string(row));
  }
  return config->ServerList()[static_cast<std::size_t>(row)];
}

std::string TMainForm::Folder() const { return options_.exeDir.empty() ? ExeDir() : options_.exeDir; }

GameRun TMainForm::LauncherFlow() { return GameRun(*this, *options_.shell, Folder(), LaunchSuffix); }

void TMainForm::ControlListButton1Click(int row) {
  LauncherFlow().EnterGame(EntryAt(row), options_.site().serverUrl);
}

void TMainForm::ControlListButton2Click(int row) { LauncherFlow().OpenWebSite(EntryAt(row)); }

bool TMainForm::Download(const std::string& name, const std::string& url, std::uint64_t maxBody,
                         http::Response& response) {
  TDownloadForm dialog(this, art_);
  dialog.SetMaxBody(maxBody);
  emit downloadStarting(&dialog);
  return dialog.Download(QString::fromStdString(name), url, response.body, &response.status);
}

void TMainForm::ShowError(const std::string& caption, const std::string& text) {
  ShowMessage(nullptr, QMessageBox::Critical, QString::fromStdString(caption), QString::fromStdString(text));
}

}  // namespace tandrel::ui
