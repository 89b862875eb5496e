#include "ui/forms/mainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cstdio>

#include "engine/commands.h"
#include "engine/externalthink.h"
#include "engine/flow.h"
#include "engine/movevalues.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/datapaths.h"
#include "platform/messages.h"
#include "platform/texts.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "records/startup.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "ui/analysismode.h"
#include "ui/boardarrows.h"
#include "ui/canvaswidget.h"
#include "ui/coursegraph.h"
#include "ui/dialogs/aboutdlg.h"
#include "ui/dialogs/colordlg.h"
#include "ui/dialogs/dialoglinks.h"
#include "ui/dialogs/enginemanagerdlg.h"
#include "ui/dialogs/levelcommands.h"
#include "ui/dialogs/levelinputdlgs.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/dialogs/piecevaluedlg.h"
#include "ui/enginemanager.h"
#include "ui/extracommands.h"
#include "ui/forms/editform.h"
#include "ui/forms/infoform.h"
#include "ui/gamefiledialogs.h"
#include "ui/language.h"
#include "ui/mouseentry.h"
#include "ui/movelist.h"
#include "ui/qteventsource.h"
#include "ui/review.h"
#include "ui/savequestion.h"
#include "ui/sprite.h"
#include "ui/systemfont.h"
#include "ui/windowdisplay.h"

namespace xq {

TMainForm* mainForm = nullptr;

namespace {

constexpr int kClockMilliseconds = 1000;
constexpr int kStopAgainMilliseconds = 50;
constexpr char kPatternFile[] = "bmp/BKBrush.bmp";

void PostStop() {
    PostToMainWindow(MessageKind::Command, kCommandStop);
}

// The handlers of the core's procedure that need the window.

void ExitClick() {
    if (mainForm != nullptr) mainForm->close();
}

// The end-of-game dialog's "No", a signal, the session's end: the program closes without asking
// to save the game.
void ExitRequested(const Message&) {
    if (mainForm == nullptr) return;
    mainForm->closeUnasked = true;
    mainForm->close();
}

// The commands that open one of the window's dialogs.
template <int32_t command>
void DialogClick() {
    if (mainForm != nullptr) mainForm->RunDialogCommand(command);
}

// Timer1Timer: the panel's clock, once a second while a side's clock runs.
void Timer1Timer(const Message& message) {
    if (message.command == kClockTimer && mainForm != nullptr) mainForm->InfoForm()->ShowClock();
}

void ShowErrorMessage(const Message&) {
    ShowErrorDialog(errorText);
}

// A close that waited for the engine's search: the search has unwound, so close now.
void CloseWhenSearchHasUnwound() {
    if (mainForm != nullptr && mainForm->closeWaiting && !computerThinking && !thinking)
        mainForm->close();
}

}  // namespace

int ScreenScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return CanvasScale(screen != nullptr ? screen->devicePixelRatio() : qApp->devicePixelRatio());
}

bool ScreenTooSmall(int width, int height) {
    return width < 800 || height < 600;
}

QPoint WindowPlace(const QSize& frame, const QRect& available) {
    const auto start = [](int from, int room, int length) {
        return from + std::max(0, (room - length) / 2);
    };
    return {start(available.left(), available.width(), frame.width()),
            start(available.top(), available.height(), frame.height())};
}

QString WindowCaption(const QString& gameFile) {
    const QString program = QCoreApplication::translate("TMainForm", "澜川中国象棋");
    if (gameFile.isEmpty()) return program;
    return QFileInfo(gameFile).fileName() + QString::fromUtf8(" — ") + program;
}

// Creation (FormCreate): the child panels, the menus, the timers and the window state.
TMainForm::TMainForm()
    : canvas_(kClientWidth, kClientHeight, ScreenScale()),
      menus_(menuBar(), this, [this] { mouse_->PutBackLiftedPiece(); }),
      canvasWidget_(new CanvasWidget(canvas_, this)),
      infoForm_(new TInfoForm(canvasWidget_)),
      // drawn once they are loaded
      editForm_(new TEditForm(canvasWidget_, images_, pattern_, canvas_.Scale())),
      moveList_(new MoveListView(canvasWidget_)),
      systemFont_(SystemFont()),
      pattern_(gdi::Brush::Solid(kLightGrey)) {
    mainForm = this;
    setWindowTitle(WindowCaption(QString()));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setCentralWidget(canvasWidget_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    canvas_.SetChangeListener(
        [this](const QRect& changed) { canvasWidget_->CanvasChanged(changed); });

    // 1. The panels share the right half; the palette below the information panel.
    const int half = kClientWidth / 2;
    for (QWidget* panel : {static_cast<QWidget*>(editForm_), static_cast<QWidget*>(infoForm_)}) {
        panel->setGeometry(half, 0, kClientWidth - half, kClientHeight);
        panel->show();
    }
    // 2. The window state.
    soundOn = 1;
    computerThinking = 0;
    userSide = Red;
    computerSide = Black;
    gameUnnamed = 1;

    timer1_.setInterval(kClockMilliseconds);
    connect(&timer1_, &QTimer::timeout, this,
            [] { PostToMainWindow(MessageKind::Timer, kClockTimer); });
    timer2_.setInterval(kHousekeepingMilliseconds);
    connect(&timer2_, &QTimer::timeout, this,
            [] { PostToMainWindow(MessageKind::Timer, kHousekeepingTimer); });
    timer2_.start();
    // A stopped engine may go on thinking on the user's time, or start the next demonstration
    // move: a waiting close stops whatever search runs until the engine's turn has unwound.
    stopAgain_.setInterval(kStopAgainMilliseconds);
    connect(&stopAgain_, &QTimer::timeout, this, [] {
        if (thinking) PostStop();
    });

    renderer_ = std::make_unique<BoardRenderer>(canvas_, systemFont_, images_);
    // The room below the board shows the game's moves, clear of the file labels, which a tall
    // CJK font pushes a little into it.
    moveList_->setGeometry(renderer_->Geometry().MoveListRect());
    // While a piece is dragged the window's clicks and moves come to the board, the pointer hidden
    // over it; each jump of a glide is shown as it is drawn.
    // The analysis's arrows lie over the board's copy, switched as the player last left them.
    arrows_ = std::make_unique<BoardArrows>(
        *renderer_, [this](const QRect& changed) { canvasWidget_->update(changed); });
    arrows_->SetEnabled(ReadArrowsSetting(SettingsFile()));
    menus_.SetChecked(QStringLiteral("AnalysisArrows"), arrows_->Enabled());
    canvasWidget_->overlay = [this](QPainter& painter) { arrows_->Paint(painter); };
    sprite_ = std::make_unique<DragSprite>(
        canvas_, *renderer_, images_,
        [this](bool dragging, bool overBoard) { canvasWidget_->CarryPiece(dragging, overBoard); },
        [this](int hold) { canvasWidget_->ShowStep(hold); });
    mouse_ = std::make_unique<MouseEntry>(
        *renderer_, *sprite_, [this] { return canvasWidget_->mapFromGlobal(QCursor::pos()); });
    pieceValueDlg_ = new TPieceValueDlg(this);
    secPerMoveDlg_ = new TInputSecPerMoveDlg(this);
    minPerGameDlg_ = new TInputMinPerGameDlg(this);
    plyDlg_ = new TInputPlyDlg(this);
    aboutDlg_ = new TAboutDlg(this);
    engineManagerDlg_ = new TEngineManagerDlg(this);
    analysis_ = new AnalysisMode(*infoForm_, this);
    analysis_->showArrows = [this](std::vector<BoardArrow> arrows) {
        arrows_->SetAnalysisArrows(std::move(arrows));
    };
    // The board colour lives in the settings; after the dialog the board takes it on.
    colorDlg_ = new TColorDlg(
        ColourLinks{[] { return PackColour(colorSquare.red, colorSquare.green, colorSquare.blue); },
                    [](PackedColour colour) {
                        colorSquare = {static_cast<uint8_t>(colour & 255),
                                       static_cast<uint8_t>(colour >> 8 & 255),
                                       static_cast<uint8_t>(colour >> 16 & 255)};
                    },
                    [this] {
                        renderer_->SetSquareColour(
                            qRgb(colorSquare.red, colorSquare.green, colorSquare.blue));
                        renderer_->RedrawAll();
                    }},
        this);
    menus_.SetLanguageChooser([this](Language language) { ChooseLanguage(language); });
    display_ = std::make_unique<WindowDisplay>(*this, timer1_);
    SetDisplay(display_.get());
    // Looking back over the game: the list and the graph choose the move, the graph follows the
    // game's length, the move shown and the values.
    review_ =
        std::make_unique<GameReview>(*renderer_, *infoForm_, *moveList_, *mouse_, menus_, *arrows_);
    moveList_->afterRefresh = [this] {
        infoForm_->Graph()->SetGame(moveList_->Game().firstPly, moveList_->LastPly(),
                                    review_->ShownPly());
        review_->ShowGameMoveLines();
    };
    SetMoveValuesListener([] {
        if (mainForm != nullptr) mainForm->InfoForm()->Graph()->update();
    });
    SetWindowProcedure(kMainWindow, ReviewingWindowProcedure);
    RegisterHandlers();
    AttachQtEventSource();
    SetAfterDrainHook(CloseWhenSearchHasUnwound);
}

// Destruction (FormDestroy): nothing the core calls may reach the window any more.
TMainForm::~TMainForm() {
    // The analysis thread ends before anything it reports to goes.
    delete analysis_;
    timer1_.stop();
    timer2_.stop();
    stopAgain_.stop();
    SetAfterDrainHook(nullptr);
    SetMoveValuesListener(nullptr);
    DetachQtEventSource();
    ClearWindowHandlers();
    chooseGameToRestore = nullptr;
    chooseGameToSave = nullptr;
    chooseGameFromList = nullptr;
    askToSaveChanges = nullptr;
    SetWindowProcedure(kMainWindow, nullptr);
    SetDisplay(nullptr);
    ClearMessages();
    mainForm = nullptr;
}

void TMainForm::ShowGameFile(const QString& path) {
    gameFile_ = path;
    setWindowTitle(WindowCaption(gameFile_));
}

void TMainForm::ChooseLanguage(Language language) {
    if (!SetLanguage(language)) std::fprintf(stderr, "lanchuan-xiangqi: no translation loaded\n");
    WriteLanguageSetting(SettingsFile(), LanguageCode(language));
    Retranslate();
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) Retranslate();
}

// The window's texts in the language now installed. The panels, the move list and the dialogs
// follow the same change of language on their own.
void TMainForm::Retranslate() {
    if (!display_) return;  // still being made: it reads the language as it goes
    menus_.Retranslate();
    display_->SetMenuItemCaption("TwoPlayer",
                                 Tr(twoPlayerMode ? kOnePlayerCaption : kTwoPlayerCaption));
    setWindowTitle(WindowCaption(gameFile_));
    editForm_->setWindowTitle(windowTitle());
    display_->ShowLevel();
    if (!shown_) return;
    // The pieces carry the characters of the language's notation, the file labels its numerals.
    LoadPieces(canvas_.Scale());
    editForm_->FormPaint();
    renderer_->RedrawAll();
}

void TMainForm::LoadPieces(int scale) {
    const PieceSet set = CurrentLanguage() == Language::TraditionalChinese ? PieceSet::Traditional
                                                                           : PieceSet::Simplified;
    QString missing;
    if (!images_.Load(QStringLiteral(":/"), &missing, scale, set))
        std::fprintf(stderr, "lanchuan-xiangqi: piece image %s is missing\n", qPrintable(missing));
}

void TMainForm::RegisterHandlers() {
    // The toolkit-free commands, then those that need the window.
    RegisterMenuCommands();
    chooseGameToRestore = ChooseGameToRestore;
    chooseGameToSave = ChooseGameToSave;
    askToSaveChanges = AskToSaveChanges;
    SetCommandHandler(kCommandExit, ExitClick);
    SetMessageHandler(MessageKind::ExitRequest, ExitRequested);
    SetCommandHandler(kCommandPieceValues, DialogClick<kCommandPieceValues>);
    SetCommandHandler(kCommandLevelPerMove, DialogClick<kCommandLevelPerMove>);
    SetCommandHandler(kCommandLevelPerGame, DialogClick<kCommandLevelPerGame>);
    SetCommandHandler(kCommandLevelFixedDepth, DialogClick<kCommandLevelFixedDepth>);
    SetCommandHandler(kCommandColour, DialogClick<kCommandColour>);
    SetCommandHandler(kCommandAbout, DialogClick<kCommandAbout>);
    SetCommandHandler(kCommandManageEngines, DialogClick<kCommandManageEngines>);
    SetMessageHandler(MessageKind::ShowError, ShowErrorMessage);
    RegisterExtraCommands();
    SetMessageHandler(MessageKind::Timer, Timer1Timer);
    SetMessageHandler(MessageKind::LeftButtonDown, [](const Message& message) {
        mainForm->Mouse().FormMouseDown(Qt::LeftButton, Qt::NoModifier, message.x, message.y);
    });
    SetMessageHandler(MessageKind::PointerMove, [](const Message& message) {
        mainForm->Mouse().FormMouseMove(Qt::NoModifier, message.x, message.y);
    });
    SetCommandHandler(kCommandDrag, [] { mainForm->Mouse().MouseDragClick(); });
    SetCommandHandler(kCommandSelect, [] { mainForm->Mouse().MouseSelectClick(); });
    SetCommandHandler(kCommandAnalysisMode, [] { mainForm->Analysis().Toggle(); });
    // Safe once the window has gone: ReportError's message then finds no procedure.
    dialogErrorReporter = ReportError;
}

bool TMainForm::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::ScreenChangeInternal && shown_)
        SetCanvasScale(CanvasScale(devicePixelRatioF()));
    return handled;
}

void TMainForm::SetCanvasScale(int scale) {
    if (scale == canvas_.Scale()) return;
    mouse_->PutBackLiftedPiece();
    canvas_.Reset(canvas_.Width(), canvas_.Height(), scale);
    LoadPieces(scale);
    editForm_->Rescale(scale);
    FormPaint();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TMainForm::FormShow() {
    // 1. The system font's metrics are the renderer's (labelHeight).
    // 2. A small screen is only warned about.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        if (ScreenTooSmall(size.width(), size.height()))
            QMessageBox::information(
                nullptr, QCoreApplication::translate("TMainForm", "警告"),
                QCoreApplication::translate("TMainForm", "屏幕分辩率低于800X600!"));
        move(WindowPlace(frameGeometry().size(), screen->availableGeometry()));
    }
    // 3. The busy cursor is the toolkit's own (Qt::BusyCursor).
    // 4. The pieces.
    LoadPieces(canvas_.Scale());
    // 5. The normal menu.
    menus_.Show(MenuBarKind::Normal);
    // 6. Settings and a new game.
    StartUp();
    menus_.SetChecked(QStringLiteral("Sound"), soundOn != 0);
    // 7. The level's and the engine's check marks, the added engines listed.
    menus_.CheckLevelItem(levelKind);
    ShowAddedEngines(menus_);
    // 8. The board's colour.
    renderer_->SetSquareColour(qRgb(colorSquare.red, colorSquare.green, colorSquare.blue));
    // 9. Drag mode, the arrow, the panel in front and the whole client area.
    mouse_->dragMode = 1;
    unsetCursor();
    infoForm_->raise();
    FormPaint();
}

void TMainForm::LoadPattern() {
    QImage image;
    for (const std::string& path : DataFileSearchList(kPatternFile)) {
        if (image.load(QString::fromStdString(path))) {
            patternSource_ = QString::fromStdString(path);
            break;
        }
    }
    if (image.isNull() && image.load(QStringLiteral(":/") + kPatternFile))
        patternSource_ = QStringLiteral(":/") + kPatternFile;
    if (image.isNull() || image.width() < 8 || image.height() < 8) {
        // Without a pattern the board is still drawn, on plain light grey.
        patternSource_.clear();
        pattern_ = gdi::Brush::Solid(kLightGrey);
        return;
    }
    pattern_ = gdi::Brush::Pattern(image);
}

void TMainForm::FormPaint() {
    // 1. The background pattern, read afresh.
    LoadPattern();
    canvas_.FillRect({0, 0, kClientWidth, kClientHeight}, pattern_);
    infoForm_->SetBackground(pattern_);
    // 2. The window's frame.
    renderer_->DrawFrame3D({0, 0, kClientWidth, kClientHeight}, false);
    // 3. The board.
    renderer_->RedrawAll();
    RefreshEditItems();
}

void TMainForm::RunDialogCommand(int32_t command) {
    switch (command) {
        case kCommandPieceValues:
            pieceValueDlg_->exec();
            break;
        case kCommandLevelPerMove:
            MoveTimeCommand(*secPerMoveDlg_);
            break;
        case kCommandLevelPerGame:
            TotalTimeCommand(*minPerGameDlg_);
            break;
        case kCommandLevelFixedDepth:
            PlyCommand(*plyDlg_);
            break;
        case kCommandColour:
            colorDlg_->exec();
            break;
        case kCommandAbout:
            aboutDlg_->ShowModeless();
            break;
        case kCommandManageEngines:
            ManageEngines(*engineManagerDlg_, menus_);
            break;
        default:
            break;
    }
}

void TMainForm::RefreshEditItems() {
    menus_.Item("UndoMove")->setEnabled(CanTakeBackMenuMove());
    menus_.Item("RedoUndo")->setEnabled(CanReplayMenuMove());
}

// Closing (FormCloseQuery). A running search or demonstration is told to stop first; the window
// closes, and the settings are written, once it has unwound (CloseWhenSearchHasUnwound), so
// nothing the search still uses is destroyed under it. A game with changes no file keeps is then
// saved or dropped as the user answers, or the close is cancelled.
bool TMainForm::FormCloseQuery() {
    // A demonstration runs inside the engine's turn, so computerThinking covers it.
    if (thinking || computerThinking) {
        // A message box the engine's turn has put up would hold the turn: it goes first.
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
        PostStop();
        closeWaiting = true;
        stopAgain_.start();
        return false;
    }
    stopAgain_.stop();
    if (!closeUnasked && !KeepChangesFirst()) {
        closeWaiting = false;
        return false;
    }
    WriteSettings(SettingsFile());
    // The added engine's process ends with the window, not with the program's last moment.
    EndAddedEngine();
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace xq
