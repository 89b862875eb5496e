// The main window on Qt's offscreen platform: caption and client size, every item of the three
// menu bars, the level's check mark after start-up, and the close steps, also while the engine
// searches or demonstrates: the search must unwind before the window closes and the settings are
// written.
#include "ui/forms/mainform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <signal.h>

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSessionManager>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/texts.h"
#include "records/gamefile.h"
#include "records/gamelog.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/record.h"
#include "support/window_fixture.h"
#include "ui/application.h"
#include "ui/dialogs/aboutdlg.h"
#include "ui/dialogs/analysegamedlg.h"
#include "ui/dialogs/gamelistdlg.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/editform.h"
#include "ui/forms/infoform.h"
#include "ui/language.h"
#include "ui/movelist.h"
#include "ui/pieceimages.h"
#include "ui/savequestion.h"
#include "ui/stoprequests.h"

namespace xq {
namespace {

// Puts the program's language back to Simplified Chinese when a test ends, as every other test
// expects it.
struct LanguageGuard {
    ~LanguageGuard() {
        SetLanguage(Language::SimplifiedChinese);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
};

class MainFormTest : public testing::WindowTest {
  protected:
    // Runs Qt's event loop until the window has closed (or 60 s have passed).
    static bool RunUntilClosed(TMainForm& form) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!form.isVisible()) loop.quit();
        });
        poll.start(20);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        return !form.isVisible();
    }

    static void StoreLevel(int level) {
        std::ofstream(SettingsFile()) << "[CHESS]\nLevel=" << level << "\n";
    }
    // The stored settings; empty when there is no chess.ini.
    static std::string StoredSettings() {
        std::ifstream file(SettingsFile());
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    static std::string ReadFile(const QString& file) {
        std::ifstream stream(file.toStdString());
        std::ostringstream text;
        text << stream.rdbuf();
        return text.str();
    }

    static void PostCommand(int32_t command) {
        Message message;
        message.kind = MessageKind::Command;
        message.command = command;
        PostMessage(message);
    }
};

// Answers the question "棋局已改变，保存吗？" whenever it comes up with the button `answer`, noting
// its caption, text and buttons; closes any file dialog, counting it.
class SaveQuestionAnswerer {
  public:
    explicit SaveQuestionAnswerer(const char* answer) : answer_(QString::fromUtf8(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start(10);
    }

    int asked = 0;
    int fileDialogs = 0;
    QString caption;
    QString text;
    QStringList buttons;

  private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            ++fileDialogs;
            files->reject();
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || box->objectName() != QLatin1String(kSaveQuestionName)) return;
        ++asked;
        caption = box->windowTitle();
        text = box->text();
        buttons.clear();
        for (QAbstractButton* button : box->buttons())
            buttons.append(button->text());
        buttons.sort();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == answer_) button->click();
    }

    QString answer_;
    QTimer timer_;
};

// One line per item: indentation for the level, the component name, the caption, and the
// item's state: [x] or [ ] for a check box, (x) or ( ) for one choice of an exclusive group.
void Describe(const QList<QAction*>& actions, int depth, QStringList* lines) {
    for (QAction* action : actions) {
        QString line = QString(depth * 2, ' ') + action->objectName();
        if (action->isSeparator()) {
            line += " -";
        } else {
            line += " " + action->text();
            if (!action->isEnabled()) line += " [disabled]";
            const bool choice = action->actionGroup() && action->actionGroup()->isExclusive();
            if (action->isCheckable())
                line += choice ? (action->isChecked() ? " (x)" : " ( )")
                               : (action->isChecked() ? " [x]" : " [ ]");
        }
        lines->append(line);
        if (action->menu() != nullptr) Describe(action->menu()->actions(), depth + 1, lines);
    }
}

QStringList Describe(const QList<QAction*>& actions) {
    QStringList lines;
    Describe(actions, 0, &lines);
    return lines;
}

TEST(ScreenSizeTest, WarnsOnlyBelowEightHundredBySixHundred) {
    EXPECT_FALSE(ScreenTooSmall(800, 600));
    EXPECT_TRUE(ScreenTooSmall(799, 600));
    EXPECT_TRUE(ScreenTooSmall(800, 599));
    EXPECT_FALSE(ScreenTooSmall(1920, 1080));
}

// Rows: the screen's available area, then where a 731 x 700 frame opens.
TEST(WindowPlaceTest, MiddleOfTheScreenButNeverAboveOrLeftOfIt) {
    const struct {
        QRect available;
        QPoint place;
    } rows[] = {
        {QRect(0, 0, 1920, 1080), QPoint(594, 190)},
        {QRect(0, 0, 1024, 576), QPoint(146, 0)},
        {QRect(0, 32, 1024, 544), QPoint(146, 32)},   // a panel along the top
        {QRect(1920, 0, 640, 480), QPoint(1920, 0)},  // a small second screen
    };
    for (const auto& row : rows)
        EXPECT_EQ(WindowPlace(QSize(731, 700), row.available), row.place) << row.available.height();
}

TEST_F(MainFormTest, CaptionClientAreaPanelsAndTheThreeMenuBars) {
    TMainForm form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("澜川中国象棋"));
    EXPECT_EQ(form.centralWidget()->size(), QSize(731, 666));
    EXPECT_EQ(form.frameGeometry().topLeft(),
              WindowPlace(form.frameGeometry().size(), form.screen()->availableGeometry()));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window cannot be resized";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.InfoForm()->geometry(), QRect(365, 0, 366, 666));
    EXPECT_EQ(form.EditForm()->geometry(), QRect(365, 0, 366, 666));

    const QStringList normal = {
        "Game 游戏",
        "  NewChessGame1 新建",
        "  RestoreGame1 恢复",
        "  SaveGame1 保存",
        "  SaveGameAs1 另存为...",
        "  N1 -",
        "  Exit1 退出",
        "  N2 -",
        "  Pass 对弈",
        "  Hint1 提示",
        "  EngineMatch 引擎比赛...",
        "  About 关于",
        "Edit 编辑",
        "  UndoMove 悔棋 [disabled]",
        "  RedoUndo 重下 [disabled]",
        "  ContinueHere 从此处继续 [disabled]",
        "  N3 -",
        "  MovePiece 摆子",
        "Level1 级别",
        "  Easy 容易 (x)",
        "  MoveTime 每次移动时间... ( )",
        "  TotalTime 总时间 ( )",
        "  Matching 匹配 ( )",
        "  Infinite 无限制 ( )",
        "  Ply1 回合搜索 ( )",
        "  Mate 将死搜索 ( )",
        "Options 选项",
        "  TwoPlayer 两人对弈",
        "  Demo 演示模式",
        "  AnalysisMode 分析模式 [ ]",
        "  PieceValues 棋子值...",
        "  N30 -",
        "  MouseMove 移动",
        "    MouseDrag 拖动 (x)",
        "    MouseSelect 选择 ( )",
        "  Sound 声音 [x]",
        "  Engine 引擎",
        "    EngineClassic 标准 (x)",
        "    EngineMaster 大师 ( )",
        "    N31 -",
        "    ManageEngines 引擎管理...",
        "Display 显示",
        "  Colors 颜色...",
        "  Reverse 反转棋盘",
        "  BestPath 最好路线 [x]",
        "  MarkLastMove 标记最后一步 [ ]",
        "  AnalysisArrows 分析箭头 [x]",
        "  Language 语言",
        "    Language_zh_CN 简体中文 (x)",
        "    Language_zh_TW 繁體中文 ( )",
        "    Language_en English ( )",
        "Records 棋谱",
        "  CopyPosition 复制局面",
        "  PastePosition 粘贴局面",
        "  N40 -",
        "  ExportGame 导出棋谱...",
        "  ImportGame 导入棋谱...",
        "  AnalyseGame 分析棋局...",
    };
    EXPECT_EQ(Describe(form.menuBar()->actions()), normal);

    form.Menus().Show(MenuBarKind::Edit);
    const QStringList editor = {
        "Done 完成",          "Clear 清除",           "Turn 轮流",
        "  RedTurn 红方 ( )", "  BlackTurn 黑方 ( )", "Cancel 忽略",
    };
    EXPECT_EQ(Describe(form.menuBar()->actions()), editor);

    // The core swaps the bars while the engine thinks.
    SetMenu(MenuKind::Think);
    EXPECT_EQ(Describe(form.menuBar()->actions()), QStringList{"Stop 停止"});
    SetMenu(MenuKind::Normal);
    EXPECT_EQ(Describe(form.menuBar()->actions()), normal);
}

// Rows: the item clicked, its command; the check marks stay as the game gave them (the level
// "容易", drag mode, sound on) until the command has run.
TEST_F(MainFormTest, ChoosingAnItemPostsItsCommandAndLeavesTheCheckMarkToTheGame) {
    TMainForm form;
    form.show();
    const std::pair<const char*, int32_t> rows[] = {
        {"Matching", kCommandLevelMatching}, {"Easy", kCommandLevelEasy},
        {"MouseSelect", kCommandSelect},     {"Sound", kCommandSound},
        {"Reverse", kCommandReverseBoard},   {"EngineMaster", kCommandEngineMaster},
    };
    for (const auto& [item, command] : rows) {
        ClearMessages();
        form.Menus().Item(item)->trigger();
        const QStringList marks =
            Describe(form.menuBar()->actions()).filter(QRegularExpression("x[])]$"));
        EXPECT_EQ(marks,
                  (QStringList{"  Easy 容易 (x)", "    MouseDrag 拖动 (x)", "  Sound 声音 [x]",
                               "    EngineClassic 标准 (x)", "  BestPath 最好路线 [x]",
                               "  AnalysisArrows 分析箭头 [x]", "    Language_zh_CN 简体中文 (x)"}))
            << item;
        Message message;
        ASSERT_TRUE(PeekMessage(&message, kMainWindow, true));
        EXPECT_EQ(message.kind, MessageKind::Command);
        EXPECT_EQ(message.command, command);
    }
}

TEST_F(MainFormTest, LevelCheckMarkFollowsTheStoredLevel) {
    // Rows: stored level, the one item checked afterwards.
    const struct {
        uint8_t stored;
        const char* item;
    } rows[] = {{0, "MoveTime"}, {1, "TotalTime"}, {2, "Easy"}, {3, "Infinite"}, {4, "Ply1"},
                {5, "Mate"},     {6, "Matching"},  {7, "Easy"}, {200, "Easy"}};
    for (const auto& row : rows) {
        StoreLevel(row.stored);
        TMainForm form;
        form.show();
        for (const char* item :
             {"MoveTime", "TotalTime", "Easy", "Infinite", "Ply1", "Mate", "Matching"})
            EXPECT_EQ(form.Menus().Item(item)->isChecked(), std::string(item) == row.item)
                << "stored " << int(row.stored) << ", item " << item;
        form.Menus().LevelItem(row.stored)->setChecked(false);
        EXPECT_FALSE(form.Menus().Item(row.item)->isChecked());
    }
}

// The engine chosen in the menu is kept in chess.ini as the window closes, and is checked and plays
// again when it opens next; without the key the classic engine plays.
TEST_F(MainFormTest, TheEngineChoiceSurvivesARestart) {
    const auto expectChecked = [](TMainForm& form, std::string_view item, const char* what) {
        for (std::string_view name : kEngineItemNames)
            EXPECT_EQ(form.Menus().Item(QString::fromLatin1(name.data(), name.size()))->isChecked(),
                      name == item)
                << what << ", item " << name;
    };
    {
        TMainForm fresh;
        fresh.show();
        EXPECT_EQ(engineKind, EngineKind::Classic);
        expectChecked(fresh, "EngineClassic", "no chess.ini");
    }
    const struct {
        const char* item;
        EngineKind engine;
    } rows[] = {{"EngineMaster", EngineKind::Master}, {"EngineClassic", EngineKind::Classic}};
    for (const auto& row : rows) {
        {
            TMainForm form;
            form.show();
            form.Menus().Item(row.item)->trigger();
            DispatchPendingMessages();
            EXPECT_EQ(engineKind, row.engine) << row.item;
            expectChecked(form, row.item, "chosen");
            PostCommand(kCommandExit);
            ASSERT_TRUE(RunUntilClosed(form)) << row.item;
        }
        engineKind = row.engine == EngineKind::Master ? EngineKind::Classic : EngineKind::Master;
        TMainForm form;
        form.show();
        EXPECT_EQ(engineKind, row.engine) << row.item;
        expectChecked(form, row.item, "after the restart");
    }
}

// The engines of engines.ini are listed in the engine menu after ours; one chosen is kept in
// chess.ini by its name and checked again after a restart, and once it has left the list the
// classic engine plays, which the panel's message line says.
TEST_F(MainFormTest, AddedEnginesAreListedAndTheirChoiceSurvivesARestart) {
    std::filesystem::create_directories(SettingsFile().parent_path());
    const auto writeList = [](const char* text) {
        std::ofstream(SettingsFile().parent_path() / "engines.ini") << text;
    };
    writeList("[Alpha]\ncommand=/opt/alpha\n\n[Beta Engine]\ncommand=/opt/beta\nprotocol=ucci\n");
    const QStringList engineMenu = {
        "EngineClassic 标准 ( )",
        "EngineMaster 大师 ( )",
        "AddedEngine0 Alpha ( )",
        "AddedEngine1 Beta Engine (x)",
        "N31 -",
        "ManageEngines 引擎管理...",
    };
    const auto shownEngineMenu = [](TMainForm& form) {
        QStringList lines;
        Describe(form.Menus().Item("Engine")->menu()->actions(), 0, &lines);
        return lines;
    };
    {
        TMainForm form;
        form.show();
        form.Menus().Item("AddedEngine1")->trigger();
        DispatchPendingMessages();
        EXPECT_EQ(engineKind, EngineKind::Added);
        EXPECT_EQ(addedEngineName, "Beta Engine");
        EXPECT_EQ(shownEngineMenu(form), engineMenu);
        PostCommand(kCommandExit);
        ASSERT_TRUE(RunUntilClosed(form));
    }
    EXPECT_NE(StoredSettings().find("Engine=2\nAddedEngine=\"Beta Engine\"\n"), std::string::npos)
        << StoredSettings();
    Reset();
    {
        TMainForm form;
        form.show();
        EXPECT_EQ(engineKind, EngineKind::Added);
        EXPECT_EQ(shownEngineMenu(form), engineMenu);
    }
    writeList("[Alpha]\ncommand=/opt/alpha\n");
    Reset();
    TMainForm form;
    form.show();
    EXPECT_EQ(engineKind, EngineKind::Classic);
    EXPECT_EQ(shownEngineMenu(form),
              (QStringList{"EngineClassic 标准 (x)", "EngineMaster 大师 ( )",
                           "AddedEngine0 Alpha ( )", "N31 -", "ManageEngines 引擎管理..."}));
    EXPECT_TRUE(form.InfoForm()->findChild<QLabel*>("Message")->text().contains("Beta Engine"));
    addedEngines.clear();
}

TEST_F(MainFormTest, StartUpDrawsTheOpeningAndFindsTheLibrary) {
    TMainForm form;
    form.show();
    EXPECT_TRUE(libraryLoaded) << "the committed library is found from any working directory";
    // The Red King's cell shows a piece: not the plain board colour at the box's centre.
    const QPoint king = form.Renderer().SquareOrigin(4);
    EXPECT_EQ(form.Renderer().shownBoard[4].kind, King);
    EXPECT_NE(form.Canvas().Pixel(king.x() + 15, king.y() + 17), qRgb(0, 128, 0));

    // "对弈": the engine answers for Red from the library, without searching.
    PostCommand(kCommandPass);
    DispatchPendingMessages();
    EXPECT_TRUE(usingLibrary);
    EXPECT_EQ(plyCount, 1);
    EXPECT_EQ(sideToMove, Black);
    EXPECT_EQ(computerThinking, 0);
}

// The dialogs' commands reach their dialogs: the about box opens modelessly, and a new board
// colour chosen in the colour dialog is stored and painted on the board.
TEST_F(MainFormTest, DialogCommandsOpenTheirDialogs) {
    TMainForm form;
    form.show();
    PostCommand(kCommandAbout);
    DispatchPendingMessages();
    ASSERT_NE(form.AboutDialog(), nullptr);
    EXPECT_TRUE(form.AboutDialog()->isVisible());
    EXPECT_FALSE(form.AboutDialog()->isModal());
    form.AboutDialog()->close();

    // Full blue typed into the blue edit of the default green, then "OK".
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("EditBlue")->setText("255");
        dialog->findChild<QPushButton*>("OKBtn")->click();
    });
    PostCommand(kCommandColour);
    DispatchPendingMessages();
    EXPECT_EQ(colorSquare, (BoardColor{0, 128, 255}));
    const QPoint empty = form.Renderer().SquareOrigin(MakeSquare(4, 4));
    EXPECT_EQ(form.Canvas().Pixel(empty.x() + 3, empty.y() + 3), qRgb(0, 128, 255));
}

TEST_F(MainFormTest, BackgroundPatternFromTheWorkingDirectoryElseTheBuiltInOne) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(home.path().toStdString());
    {
        TMainForm form;
        form.show();
        EXPECT_EQ(form.PatternSource(), QStringLiteral(":/bmp/BKBrush.bmp"));
        const QImage pattern(QStringLiteral(":/bmp/BKBrush.bmp"));
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(form.Canvas().Pixel(8 + x, 600), pattern.pixel(x, 600 % 8) | 0xFF000000u);
    }
    std::filesystem::create_directory("bmp");
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save("bmp/BKBrush.bmp"));
    {
        TMainForm form;
        form.show();
        EXPECT_EQ(form.PatternSource(), QStringLiteral("bmp/BKBrush.bmp"));
        EXPECT_EQ(form.Canvas().Pixel(5, 600), qRgb(255, 0, 0));
    }
    std::filesystem::current_path(before);
}

TEST_F(MainFormTest, ExitAndTheExitMessageCloseThroughTheCloseSteps) {
    for (int32_t way : {0, 1}) {
        std::remove(SettingsFile().c_str());
        TMainForm form;
        form.show();
        Message message;
        if (way == 0) {
            message.kind = MessageKind::Command;
            message.command = kCommandExit;
        } else {
            message.kind = MessageKind::ExitRequest;  // the end-of-game dialog's "No"
        }
        PostMessage(message);
        ASSERT_TRUE(RunUntilClosed(form));
        // Written with the built-in values, as there was no chess.ini.
        EXPECT_EQ(StoredSettings(),
                  "[CHESS]\nColorSquare=32768\nLevel=2\nAverageTime=5.000000\nMaxLevel=45\n"
                  "SoundOn=1\nEngine=0\n");
    }
}

// A command that drops a game with changes no file keeps asks first, in the window as in the
// core: "取消" keeps the game and the window; "不保存" lets the command go on (the file dialogs of
// "恢复" and "导入棋谱..." open, the pasted position is set up, the window closes). The
// end-of-game dialog's "No" asks nothing, nor does a paste that the position refuses.
TEST_F(MainFormTest, ACommandThatDropsAChangedGameAsksToSaveItFirst) {
    constexpr int32_t kCloseBox = 0;
    constexpr int32_t kEndOfGameNo = -1;
    const struct {
        const char* name;
        int32_t command;
    } rows[] = {
        {"新建", kCommandNewGame},
        {"恢复", kCommandRestore},
        {"导入棋谱...", kCommandImportGame},
        {"粘贴局面", kCommandPastePosition},
        {"退出", kCommandExit},
        {"close box", kCloseBox},
        {"end of game, No", kEndOfGameNo},
    };
    const QString pasted = QStringLiteral("3ak4/4a4/9/9/9/9/9/9/4C4/3K5 b - - 0 1");
    QGuiApplication::clipboard()->setText(pasted);
    for (const auto& row : rows) {
        for (const char* answer : {"取消", "不保存"}) {
            SCOPED_TRACE(std::string(row.name) + " " + answer);
            TMainForm form;
            form.show();
            twoPlayerMode = 1;  // the move stays the only one
            Square from = 0;
            Square to = 0;
            ASSERT_TRUE(ParseIccs("h2e2", &from, &to));
            ASSERT_TRUE(HandleBoardMove(from, to));
            const std::string fen = WriteFen();
            SaveQuestionAnswerer answerer(answer);
            if (row.command == kCloseBox) {
                form.close();
            } else if (row.command == kEndOfGameNo) {
                Message no;
                no.kind = MessageKind::ExitRequest;
                PostMessage(no);
            } else {
                PostCommand(row.command);
            }
            DispatchPendingMessages();
            const bool closes = row.command == kCommandExit || row.command == kCloseBox;
            if (row.command == kEndOfGameNo) {
                EXPECT_FALSE(form.isVisible());
                EXPECT_EQ(answerer.asked, 0);
                break;
            }
            ASSERT_EQ(answerer.asked, 1);
            EXPECT_EQ(answerer.caption, QString::fromUtf8("中国象棋"));
            EXPECT_EQ(answerer.text, QString::fromUtf8("棋局已改变，保存吗？"));
            EXPECT_EQ(answerer.buttons, QString::fromUtf8("不保存 保存 取消").split(' '));
            if (std::string_view(answer) == "取消") {
                EXPECT_TRUE(form.isVisible());
                EXPECT_EQ(WriteFen(), fen);
                EXPECT_EQ(answerer.fileDialogs, 0);
            } else if (closes) {
                EXPECT_FALSE(form.isVisible());
            } else {
                const bool fileDialog =
                    row.command == kCommandRestore || row.command == kCommandImportGame;
                EXPECT_TRUE(form.isVisible());
                EXPECT_EQ(answerer.fileDialogs, fileDialog ? 1 : 0);
                EXPECT_EQ(plyCount, fileDialog ? 1 : 0);
                if (row.command == kCommandPastePosition) {
                    EXPECT_EQ(QString::fromStdString(WriteFen()), pasted);
                }
            }
        }
    }
    // A position the paste refuses drops nothing: its error, and no question.
    TMainForm form;
    form.show();
    twoPlayerMode = 1;
    Square from = 0;
    Square to = 0;
    ASSERT_TRUE(ParseIccs("h2e2", &from, &to));
    ASSERT_TRUE(HandleBoardMove(from, to));
    const std::string fen = WriteFen();
    QGuiApplication::clipboard()->setText(QStringLiteral("3ak4/4a4/9/9/9/9/9/9/9/P2K5 b"));
    SaveQuestionAnswerer answerer("取消");
    QString error;
    QTimer errorAnswer;
    QObject::connect(&errorAnswer, &QTimer::timeout, [&] {
        if (auto* dialog = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget())) {
            error = dialog->Message()->text();
            dialog->OkButton()->click();
        }
    });
    errorAnswer.start(10);
    PostCommand(kCommandPastePosition);
    DispatchPendingMessages();
    EXPECT_EQ(answerer.asked, 0);
    EXPECT_EQ(error, QString::fromUtf8("FEN 局面有误：兵的位置错误"));
    EXPECT_EQ(WriteFen(), fen);
}

// `lanchuan-xiangqi FILE`: the file named on the command line, made absolute; of several, the
// first.
TEST_F(MainFormTest, TheCommandLineNamesTheFileToOpen) {
    const QString program = QStringLiteral("lanchuan-xiangqi");
    EXPECT_EQ(FileFromCommandLine({program}), QString());
    EXPECT_EQ(FileFromCommandLine({program, QStringLiteral("g1.chs")}),
              QDir::current().absoluteFilePath(QStringLiteral("g1.chs")));
    EXPECT_EQ(FileFromCommandLine({program, QStringLiteral("/tmp/a.pgn"), QStringLiteral("b.pgn")}),
              QStringLiteral("/tmp/a.pgn"));
}

// The program itself answers --help and --version on its standard output, without a window.
TEST_F(MainFormTest, TheProgramNamesItsFileArgumentAndVersion) {
    for (const char* option : {"--help", "--version"}) {
        QProcess game;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        game.setProcessEnvironment(environment);
        game.start(QStringLiteral(XQ_GAME_PROGRAM), {QString::fromUtf8(option)});
        ASSERT_TRUE(game.waitForFinished(60000)) << option;
        EXPECT_EQ(game.exitCode(), 0) << option;
        const QString output = QString::fromUtf8(game.readAllStandardOutput());
        EXPECT_TRUE(output.contains(std::string_view(option) == "--help" ? "[FILE]" : "0.1"))
            << option << ": " << output.toStdString();
    }
}

// A file handed to the window: a game file is restored and names the caption; one refused shows
// the menu's error dialog, and the game is then a new one.
TEST_F(MainFormTest, AGivenFileIsOpenedOrItsErrorShownBeforeANewGame) {
    TMainForm form;
    form.show();
    Square from = 0;
    Square to = 0;
    const std::string good = home.filePath("good.chs").toStdString();
    const std::string bad = home.filePath("bad.chs").toStdString();
    std::string refusal;
    ASSERT_TRUE(ReadFen("4k4/9/9/9/9/9/9/9/9/3K4R w", &refusal));
    const std::string goodFen = WriteFen();
    ASSERT_TRUE(SaveGameFile(good));
    std::ofstream(bad) << "not a game";
    QStringList errors;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget())) {
            errors.append(dialog->Message()->text());
            dialog->OkButton()->click();
        }
    });
    answer.start(10);
    NewGame();
    OpenGivenFile(good);
    EXPECT_EQ(WriteFen(), goodFen);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("good.chs — 澜川中国象棋"));
    EXPECT_TRUE(errors.isEmpty());
    OpenGivenFile(bad);
    EXPECT_EQ(errors, QStringList{QString::fromUtf8("游戏没有加载")});
    EXPECT_EQ(WriteFen(), std::string(kStartFen));
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("澜川中国象棋"));

    // A record of many games shows their list, as "导入棋谱..." does; the game chosen is opened.
    const std::string many = home.filePath("many.pgn").toStdString();
    std::ofstream(many) << "[Event \"甲\"]\n1. h2e2 h9g7 *\n\n[Event \"乙\"]\n1. b2e2 *\n";
    int lists = 0;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* list = dynamic_cast<TGameListDlg*>(QApplication::activeModalWidget())) {
            ++lists;
            list->Table()->selectRow(1);
            list->accept();
        }
    });
    errors.clear();
    OpenGivenFile(many);
    EXPECT_EQ(lists, 1);
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_EQ(plyCount, 1) << "the second game";
    ASSERT_TRUE(ParseIccs("b2e2", &from, &to));
    EXPECT_EQ(GameRecord[recordTop].from, from);
    EXPECT_EQ(GameRecord[recordTop].to, to);
}

// Closing while the engine works: the close waits until the search has unwound, then the
// settings are written and the window closes.
TEST_F(MainFormTest, ClosingDuringASearchOrADemonstrationWaitsForItToUnwind) {
    for (bool demonstration : {false, true}) {
        StoreLevel(demonstration ? kLevelFixedDepth : kLevelUnlimited);
        TMainForm form;
        form.show();
        UseOpeningLibrary({});  // search from the first move on
        NewGame();
        maxDepth = demonstration ? 2 : 45;
        demoMode = demonstration ? 1 : 0;
        PostCommand(kCommandPass);
        std::remove(SettingsFile().c_str());
        bool engineBusy = false;
        bool closedAtOnce = true;
        std::string writtenAtOnce;
        SaveQuestionAnswerer answerer("不保存");
        QTimer::singleShot(400, &form, [&] {
            engineBusy = thinking || computerThinking;  // a check box may be up in the turn
            form.close();
            closedAtOnce = !form.isVisible();
            writtenAtOnce = StoredSettings();
        });
        ASSERT_TRUE(RunUntilClosed(form)) << (demonstration ? "demonstration" : "search");
        EXPECT_TRUE(engineBusy) << "the close came during the engine's turn";
        EXPECT_FALSE(closedAtOnce) << "the window waits for the search to unwind";
        EXPECT_EQ(writtenAtOnce, "");
        EXPECT_EQ(thinking, 0);
        EXPECT_EQ(computerThinking, 0);
        EXPECT_NE(StoredSettings().find(demonstration ? "Level=4" : "Level=3"), std::string::npos);
        EXPECT_EQ(demoMode, 0);
        EXPECT_TRUE(PositionIsConsistent());
        // The engine's move is the game's; the demonstration's are not.
        EXPECT_EQ(answerer.asked, demonstration ? 0 : 1);
        libraryLoaded = false;
    }
}

// The game started as a user starts it (on the offscreen platform, settings and log in a folder
// of the test's own) and ended by each stop signal: it closes as "退出" does, with chess.ini and
// the log's buffered lines written, and exits normally.
TEST_F(MainFormTest, StopSignalsCloseTheProgramAsExitDoes) {
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QTemporaryDir folder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", folder.filePath("config"));
        environment.insert("XDG_STATE_HOME", folder.filePath("state"));
        QProcess game;
        game.setProcessEnvironment(environment);
        game.start(QStringLiteral(XQ_GAME_PROGRAM), {});
        ASSERT_TRUE(game.waitForStarted()) << signal;
        // Running once its log has the banner (written at start-up, after the handlers).
        const QString log = folder.filePath("state/lanchuan-xiangqi/Chess.log");
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(log).size() > 0; }, 60000)) << signal;
        ASSERT_EQ(kill(static_cast<pid_t>(game.processId()), signal), 0);
        ASSERT_TRUE(game.waitForFinished(60000)) << signal;
        EXPECT_EQ(game.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(game.exitCode(), 0) << signal << game.readAllStandardError().toStdString();
        EXPECT_EQ(ReadFile(folder.filePath("config/lanchuan-xiangqi/chess.ini")),
                  "[CHESS]\nColorSquare=32768\nLevel=2\nAverageTime=5.000000\nMaxLevel=45\n"
                  "SoundOn=1\nEngine=0\n")
            << signal;
        EXPECT_NE(ReadFile(log).find(" No  Player Program"), std::string::npos)
            << "the new game's header, buffered until the log is closed";
    }
}

// SIGTERM while the engine searches: the search's pull of native events finds it, and the window
// closes through its close steps once the search has unwound.
TEST_F(MainFormTest, AStopSignalWhileTheEngineThinksClosesOnceTheSearchHasUnwound) {
    StoreLevel(kLevelUnlimited);
    StopRequests stopRequests;
    TMainForm form;
    form.show();
    UseOpeningLibrary({});
    NewGame();
    PostCommand(kCommandPass);
    std::remove(SettingsFile().c_str());
    bool engineThinking = false;
    QTimer::singleShot(400, &form, [&] {
        engineThinking = thinking != 0;
        raise(SIGTERM);
    });
    ASSERT_TRUE(RunUntilClosed(form));
    EXPECT_TRUE(engineThinking);
    EXPECT_EQ(thinking, 0);
    EXPECT_EQ(computerThinking, 0);
    EXPECT_NE(StoredSettings().find("Level=3"), std::string::npos);
    EXPECT_TRUE(PositionIsConsistent());
    libraryLoaded = false;
}

// The desktop session's end asks the program to save its data: it closes as "退出" does.
TEST_F(MainFormTest, TheSessionsEndClosesTheProgramAsExitDoes) {
    StopRequests stopRequests;
    TMainForm form;
    form.show();
    std::remove(SettingsFile().c_str());
    // The toolkit's session manager cannot be made outside it; no receiver here looks at it.
    alignas(QSessionManager) unsigned char manager[sizeof(QSessionManager)] = {};
    emit qApp->commitDataRequest(*reinterpret_cast<QSessionManager*>(manager));
    ASSERT_TRUE(RunUntilClosed(form));
    EXPECT_EQ(StoredSettings(),
              "[CHESS]\nColorSquare=32768\nLevel=2\nAverageTime=5.000000\nMaxLevel=45\n"
              "SoundOn=1\nEngine=0\n");
}

// An exception that escapes an event handler is shown in the error dialog, and the program then
// closes as "退出" does.
TEST_F(MainFormTest, AnExceptionFromAnEventHandlerIsShownThenTheProgramClosesAsExitDoes) {
    class Thrower : public QObject {
      public:
        bool event(QEvent* event) override {
            if (event->type() == QEvent::User) throw std::runtime_error("坏了");
            return QObject::event(event);
        }
    } thrower;
    TMainForm form;
    form.show();
    QString caption;
    QString text;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget())) {
            caption = dialog->windowTitle();
            text = dialog->Message()->text();
            dialog->OkButton()->click();
        }
    });
    answer.start(10);
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    ASSERT_TRUE(RunUntilClosed(form));
    EXPECT_EQ(caption, QString::fromUtf8("中国象棋错误"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("坏了"))) << text.toStdString();
    EXPECT_EQ(StoredSettings(),
              "[CHESS]\nColorSquare=32768\nLevel=2\nAverageTime=5.000000\nMaxLevel=45\n"
              "SoundOn=1\nEngine=0\n");
}

// What the program sets up around its windows: captions exactly as given (no display name for
// the toolkit to append), an icon also when none is installed, and the language chess.ini names,
// Qt's own texts with it.
TEST_F(MainFormTest, TheApplicationsCaptionsIconAndLanguage) {
    const LanguageGuard guard;
    SetUpApplication();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_FALSE(QApplication::windowIcon().pixmap(64).isNull());
    // Rows: the language kept, then Qt's "Cancel", the file dialog's "Look in:" and the program's
    // name, each as that language's translation has it.
    const struct {
        const char* language;
        Language expected;
        const char* cancel;
        const char* lookIn;
    } rows[] = {
        {"zh_CN", Language::SimplifiedChinese, "取消", "查找范围："},
        {"zh_TW", Language::TraditionalChinese, "取消", "尋找於："},
        {"en", Language::English, "Cancel", "Look in:"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.language);
        ASSERT_TRUE(WriteLanguageSetting(SettingsFile(), row.language));
        SetUpApplication();
        EXPECT_EQ(CurrentLanguage(), row.expected);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                  QString::fromUtf8(row.cancel));
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"),
                  QString::fromUtf8(row.lookIn));
        const QString program = WindowCaption(QString());
        EXPECT_EQ(program == QString::fromUtf8("澜川中国象棋"),
                  row.expected == Language::SimplifiedChinese)
            << program.toStdString();
    }
}

// Without a choice in chess.ini the desktop's language decides.
TEST(LanguageTest, TheDesktopsLanguageChoosesOneOfTheThree) {
    const struct {
        QLocale locale;
        Language language;
    } rows[] = {
        {QLocale(QLocale::C), Language::SimplifiedChinese},
        {QLocale(QLocale::Chinese, QLocale::China), Language::SimplifiedChinese},
        {QLocale(QLocale::Chinese, QLocale::Singapore), Language::SimplifiedChinese},
        {QLocale(QLocale::Chinese, QLocale::Taiwan), Language::TraditionalChinese},
        {QLocale(QLocale::Chinese, QLocale::HongKong), Language::TraditionalChinese},
        {QLocale(QLocale::Chinese, QLocale::Macao), Language::TraditionalChinese},
        {QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Singapore),
         Language::TraditionalChinese},
        {QLocale(QLocale::English, QLocale::UnitedStates), Language::English},
        {QLocale(QLocale::German, QLocale::Germany), Language::English},
        {QLocale(QLocale::Japanese, QLocale::Japan), Language::English},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LanguageForLocale(row.locale), row.language) << row.locale.name().toStdString();
        EXPECT_EQ(LanguageForSetting("", row.locale), row.language);
        EXPECT_EQ(LanguageForSetting("zh_TW", row.locale), Language::TraditionalChinese);
    }
}

// Every text the window and its dialogs show, named by where it is: the caption, the items of
// the three menu bars, the labels, buttons and captions of the panels and dialogs, and the move
// list's header. The language items are left out: each is named in its own language.
std::vector<std::pair<QString, QString>> ShownTexts(TMainForm& form) {
    std::vector<std::pair<QString, QString>> texts = {{"caption", form.windowTitle()}};
    std::function<void(const QList<QAction*>&)> items = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (action->isSeparator() || action->objectName().startsWith("Language_")) continue;
            texts.emplace_back(action->objectName(), action->text());
            if (action->menu() != nullptr) items(action->menu()->actions());
        }
    };
    for (MenuBarKind kind : {MenuBarKind::Normal, MenuBarKind::Edit, MenuBarKind::Think})
        items(form.Menus().TopLevel(kind));
    for (QDialog* dialog : form.findChildren<QDialog*>())
        texts.emplace_back(dialog->objectName(), dialog->windowTitle());
    for (QLabel* label : form.findChildren<QLabel*>())
        texts.emplace_back(label->objectName(), label->text());
    for (QPushButton* button : form.findChildren<QPushButton*>())
        texts.emplace_back(button->objectName(), button->text());
    for (int column = 0; column < form.MoveList()->columnCount(); ++column)
        texts.emplace_back("MoveList", form.MoveList()->horizontalHeaderItem(column)->text());
    return texts;
}

bool HasHanCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.script() == QChar::Script_Han; });
}

// Characters of the window's Simplified Chinese texts that Traditional Chinese writes otherwise.
const QString kSimplifiedOnly = QString::fromUtf8(
    "两个为义关写军则别动单发变后吗国声复对导将帅师库录总戏择摆数无时显标没澜点独现盘码确签纵"
    "线组结绿编节蓝规认讨记论设识话语误请读谱贮贴赛车转轮载辑输辩还选释钟错闭间项颜马开");

// A label's or a button's text fits the room its widget gives it, in the widget's font; a label
// that breaks its text into lines has the height they need.
void ExpectTextsFit(TMainForm& form, const char* language) {
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->objectName() == "Message") continue;
        if (label->wordWrap()) {  // broken into lines, it must not need more height
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << language << ": " << label->objectName().toStdString() << " \""
                << label->text().toStdString() << "\"";
            continue;
        }
        const int room = label->contentsRect().width() - std::max(0, label->indent());
        for (const QString& line : label->text().split(u'\n'))
            EXPECT_LE(label->fontMetrics().horizontalAdvance(line), room)
                << language << ": " << label->objectName().toStdString() << " \""
                << line.toStdString() << "\"";
    }
    for (QPushButton* button : form.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const int room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), room)
            << language << ": " << button->objectName().toStdString() << " \""
            << button->text().toStdString() << "\"";
    }
}

// No text of the window left in Simplified Chinese: in English none has a Chinese character, in
// Traditional Chinese none a character that Traditional Chinese writes otherwise.
void ExpectAllIn(Language language, const std::vector<std::pair<QString, QString>>& texts) {
    for (const auto& [where, text] : texts) {
        if (language == Language::English) {
            EXPECT_FALSE(HasHanCharacter(text))
                << where.toStdString() << " \"" << text.toStdString() << "\"";
        } else {
            EXPECT_FALSE(std::any_of(text.begin(), text.end(),
                                     [](QChar c) { return kSimplifiedOnly.contains(c); }))
                << where.toStdString() << " \"" << text.toStdString() << "\"";
        }
    }
}

// The window in each language: no text left in Simplified Chinese, none wider than its widget;
// back in Simplified Chinese every text is as it was.
TEST_F(MainFormTest, EveryLanguageTranslatesEveryTextAndFitsIt) {
    const LanguageGuard guard;
    TMainForm form;
    form.show();
    const auto source = ShownTexts(form);
    ExpectTextsFit(form, "zh_CN");
    for (Language language : {Language::TraditionalChinese, Language::English}) {
        const char* code = LanguageCode(language).data();
        ASSERT_TRUE(SetLanguage(language)) << code;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        const auto shown = ShownTexts(form);
        ASSERT_EQ(shown.size(), source.size());
        int changed = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            changed += shown[i].second != source[i].second ? 1 : 0;
        ExpectAllIn(language, shown);
        EXPECT_GT(changed, static_cast<int>(shown.size()) / 2) << code;
        ExpectTextsFit(form, code);
    }
    SetLanguage(Language::SimplifiedChinese);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(ShownTexts(form), source);
}

// A window made with the language already installed (a start in English or Traditional Chinese)
// shows every text in it from the start, the engine submenu's items too. The piece values dialog
// names its rows with the pieces' names, each fitting its row.
TEST_F(MainFormTest, AWindowMadeInALanguageStartsInIt) {
    const LanguageGuard guard;
    for (Language language : {Language::English, Language::TraditionalChinese}) {
        const char* code = LanguageCode(language).data();
        SCOPED_TRACE(code);
        ASSERT_TRUE(SetLanguage(language));
        TMainForm form;
        form.show();
        (new TAnalyseGameDlg(&form))->show();  // made when "分析棋局..." is chosen
        ExpectAllIn(language, ShownTexts(form));
        ExpectTextsFit(form, code);
        if (language != Language::English) continue;
        for (const char* item : {"EngineClassic", "EngineMaster"}) {
            ASSERT_NE(form.Menus().Item(item), nullptr) << item;
            EXPECT_FALSE(HasHanCharacter(form.Menus().Item(item)->text())) << item;
        }
        const std::pair<const char*, const char*> rows[] = {
            {"Lassist", "Advisor"}, {"Lbishop", "Elephant"}, {"Lknight", "Horse"},
            {"Lrook", "Chariot"},   {"Lgunner", "Cannon"},   {"Lpawn", "Pawn"}};
        for (const auto& [row, name] : rows) {
            const auto* label = form.findChild<QLabel*>(row);
            ASSERT_NE(label, nullptr) << row;
            EXPECT_EQ(label->text(), QString::fromLatin1(name));
        }
    }
}

// In Traditional Chinese the pieces on the board carry the characters the move list writes
// (俥傌帥 / 車馬將砲): the board draws the Traditional Chinese artwork, and the program's own
// again when the language goes back.
TEST_F(MainFormTest, InTraditionalChineseTheBoardsPiecesAreTheListsCharacters) {
    const LanguageGuard guard;
    TMainForm form;
    form.show();
    // The Red Rook's box on the board, as drawn now.
    const QPoint origin = form.Renderer().SquareOrigin(MakeSquare(0, 0));
    const auto rookBox = [&] {
        std::vector<QRgb> pixels;
        for (int y = 0; y < kPieceHeight; ++y)
            for (int x = 0; x < kPieceWidth; ++x)
                pixels.push_back(form.Canvas().Pixel(origin.x() + x, origin.y() + y));
        return pixels;
    };
    const auto simplified = rookBox();
    form.ChooseLanguage(Language::TraditionalChinese);
    for (PieceKind kind = King; kind <= Pawn; ++kind) {
        for (Side side : {Red, Black}) {
            const QImage art(":/" + PieceFileName(kind, side, 1, PieceSet::Traditional));
            ASSERT_FALSE(art.isNull());
            EXPECT_EQ(form.Pieces().piece[kind][side].convertToFormat(QImage::Format_RGB32),
                      art.convertToFormat(QImage::Format_RGB32))
                << kind << " " << side;
        }
    }
    EXPECT_NE(rookBox(), simplified) << "the board shows 俥, not 车";
    form.ChooseLanguage(Language::SimplifiedChinese);
    EXPECT_EQ(rookBox(), simplified);
}

// "显示" > "语言": the window changes at once, chess.ini keeps the choice for the next start.
TEST_F(MainFormTest, TheLanguageItemSwitchesAtOnceAndIsKept) {
    const LanguageGuard guard;
    TMainForm form;
    form.show();
    RunMenuCommand(kCommandTwoPlayer);
    form.Menus().Item("Language_en")->trigger();
    EXPECT_EQ(CurrentLanguage(), Language::English);
    EXPECT_EQ(ReadLanguageSetting(SettingsFile()), "en");
    EXPECT_TRUE(form.Menus().Item("Language_en")->isChecked());
    EXPECT_FALSE(form.Menus().Item("Language_zh_CN")->isChecked());
    // The caption the game gave "两人对弈" is given again in the new language.
    EXPECT_EQ(form.Menus().Item("TwoPlayer")->text().toStdString(), Tr(kOnePlayerCaption));
    EXPECT_NE(Tr(kOnePlayerCaption), kOnePlayerCaption);
    EXPECT_EQ(form.windowTitle(), QCoreApplication::translate("TMainForm", "澜川中国象棋"));
    EXPECT_NE(form.windowTitle(), QString::fromUtf8("澜川中国象棋"));
    form.Menus().Item("Language_zh_CN")->trigger();
    EXPECT_EQ(ReadLanguageSetting(SettingsFile()), "zh_CN");
    EXPECT_EQ(form.Menus().Item("TwoPlayer")->text(), QString::fromUtf8("单独对弈"));
    RunMenuCommand(kCommandTwoPlayer);
}

}  // namespace
}  // namespace xq
