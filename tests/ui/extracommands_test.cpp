// The "棋谱" menu and the usual keys in the main window on Qt's offscreen platform: the position
// through the clipboard, a game through the file dialogs and back, a refusal in the error dialog,
// the keys shown beside their items and acting only while their bar is shown, Esc stopping the
// engine while it thinks, and the last-move mark switched from the "显示" menu.
#include "ui/extracommands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/movevalues.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "records/exchange.h"
#include "records/gamefile.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/record.h"
#include "support/window_fixture.h"
#include "ui/boardarrows.h"
#include "ui/canvaswidget.h"
#include "ui/dialogs/analysegamedlg.h"
#include "ui/dialogs/gamelistdlg.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"
#include "ui/gameanalyser.h"
#include "ui/gamefiledialogs.h"
#include "ui/language.h"
#include "ui/movelist.h"
#include "ui/qteventsource.h"
#include "ui/review.h"

namespace xq {
namespace {

class ExtraCommandsTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WindowTest::SetUp());
        form.show();
        ClearMessages();
    }
    // Runs `command`; each modal dialog that opens meanwhile goes to `answer`, once. One still
    // open two seconds after its answer is a failure, and is closed.
    static void RunAnswering(int32_t command, const std::function<void(QWidget*)>& answer) {
        QTimer poll;
        QPointer<QWidget> answered;
        int waits = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog == nullptr) return;
            if (dialog == answered) {
                if (++waits < 400) return;
                ADD_FAILURE() << "the answer left " << dialog->objectName().toStdString()
                              << " open";
                if (auto* open = qobject_cast<QDialog*>(dialog)) open->reject();
                return;
            }
            answered = dialog;
            waits = 0;
            answer(dialog);
        });
        poll.start(5);
        RunMenuCommand(command);
    }
    // The text of the error dialog that `command` shows (closed again), and chooses `file` with
    // `filter` in a file dialog it opens.
    static QString ErrorShownBy(int32_t command, const QString& file = {},
                                const char* filter = nullptr) {
        QString shown;
        RunAnswering(command, [&](QWidget* dialog) {
            if (auto* error = dynamic_cast<TChessErrorDlg*>(dialog)) {
                shown = error->Message()->text();
                error->OkButton()->click();
            } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                if (filter != nullptr) files->selectNameFilter(QString::fromUtf8(filter));
                testing::ChooseInFileDialog(files, file);
            }
        });
        return shown;
    }
    bool ShownBoardIsTheBoard() {
        for (Square s = 0; s < kBoardCells; ++s) {
            if (!IsBoardPoint(s)) continue;
            const ShownCell& shown = form.Renderer().shownBoard[s];
            if (shown.kind != board[s].kind || (shown.kind != Empty && shown.side != board[s].side))
                return false;
        }
        return true;
    }
    static std::string FileText(const QString& file) {
        std::ifstream in(file.toStdString(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TMainForm form;
};

TEST_F(ExtraCommandsTest, ThePositionGoesToTheClipboardAndComesBack) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    RunMenuCommand(kCommandCopyPosition);
    EXPECT_EQ(clipboard->text().toStdString(), kStartFen);

    const std::string fen = "3ak4/4a4/9/9/9/9/9/9/4C4/3K5 b - - 0 1";
    clipboard->setText(QString::fromStdString(fen));
    EXPECT_EQ(ErrorShownBy(kCommandPastePosition), "");
    EXPECT_EQ(WriteFen(), fen);
    EXPECT_TRUE(ShownBoardIsTheBoard()) << "the board is drawn afresh";
    EXPECT_EQ(userSide, Black);
    EXPECT_FALSE(form.Menus().Item("UndoMove")->isEnabled());

    // Copied again: the same text.
    clipboard->clear();
    RunMenuCommand(kCommandCopyPosition);
    EXPECT_EQ(clipboard->text().toStdString(), fen);

    // A refused position: the reason in the error dialog, the game as it was.
    clipboard->setText(QStringLiteral("3ak4/4a4/9/9/9/9/9/9/9/P2K5 b"));
    EXPECT_EQ(ErrorShownBy(kCommandPastePosition), QString::fromUtf8("FEN 局面有误：兵的位置错误"));
    EXPECT_EQ(WriteFen(), fen);
}

TEST_F(ExtraCommandsTest, AGameExportedThroughTheDialogImportsAgain) {
    // Two full moves from the opening, as the game records them.
    for (const char* iccs : {"h2e2", "h9g7", "h0g2", "i9h9"}) {
        Square from = 0, to = 0;
        ASSERT_TRUE(ParseIccs(iccs, &from, &to));
        ASSERT_TRUE(ValidateEnteredMove(from, to));
    }
    const std::string finalFen = WriteFen();

    // The filter picks the notation; a name without an extension gets ".pgn".
    const QString chinese = home.filePath("chinese");
    EXPECT_EQ(ErrorShownBy(kCommandExportGame, chinese, kChineseFilter), "");
    EXPECT_NE(FileText(chinese + ".pgn").find("1. 炮二平五 马８进７"), std::string::npos);
    const QString iccs = home.filePath("iccs.pgn");
    EXPECT_EQ(ErrorShownBy(kCommandExportGame, iccs, kIccsFilter), "");
    EXPECT_NE(FileText(iccs).find("1. h2e2 h9g7"), std::string::npos);

    for (const QString& file : {chinese + ".pgn", iccs}) {
        SCOPED_TRACE(file.toStdString());
        RunMenuCommand(kCommandNewGame);
        EXPECT_FALSE(form.Menus().Item("UndoMove")->isEnabled());
        EXPECT_EQ(ErrorShownBy(kCommandImportGame, file), "");
        EXPECT_EQ(WriteFen(), finalFen);
        EXPECT_TRUE(ShownBoardIsTheBoard());
        EXPECT_TRUE(form.Menus().Item("UndoMove")->isEnabled()) << "悔棋 can take moves back";
    }

    // A file the reader refuses: its reason, and the game as it was.
    std::ofstream(home.filePath("bad.pgn").toStdString()) << "1. 炮二平五 马８进７ 2. 炮五进九\n";
    const QString shown = ErrorShownBy(kCommandImportGame, home.filePath("bad.pgn"));
    EXPECT_EQ(shown, QString::fromUtf8("第1局：第2回合的着法“炮五进九”不合规则"));
    EXPECT_EQ(WriteFen(), finalFen);

    // Cancelled dialogs change nothing.
    RunAnswering(kCommandImportGame, [](QWidget* dialog) { dialog->close(); });
    RunAnswering(kCommandExportGame, [](QWidget* dialog) { dialog->close(); });
    EXPECT_EQ(WriteFen(), finalFen);
}

// A file of several games: the list shows them, the chosen one is imported; a refused game
// chosen from the list shows its reason and changes nothing; cancelling the list neither.
TEST_F(ExtraCommandsTest, AGameIsChosenFromTheListOfAFileOfMany) {
    const QString file = home.filePath("many.pgn");
    std::ofstream(file.toStdString()) << "[Event \"甲\"]\n[Red \"红一\"]\n1. h2e2 h9g7 2. h0g2\n\n"
                                         "[Event \"乙\"]\n1. 炮二平五 炮８平５ 2. 炮五进九\n\n"
                                         "[Event \"丙\"]\n[Black \"黑三\"]\n1. C2.5 C8.5 1-0\n";
    const std::string startFen = WriteFen();
    auto importChoosing = [&](int row) {
        QString error;
        std::vector<std::string> events;
        std::vector<std::string> moves;  // full moves, as the games number them
        RunAnswering(kCommandImportGame, [&](QWidget* dialog) {
            if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                testing::ChooseInFileDialog(files, file);
            } else if (auto* list = dynamic_cast<TGameListDlg*>(dialog)) {
                for (int r = 0; r < list->Table()->rowCount(); ++r) {
                    events.push_back(list->Table()->item(r, 1)->text().toStdString());
                    moves.push_back(list->Table()->item(r, 5)->text().toStdString());
                }
                if (row < 0) return list->reject();
                list->Table()->selectRow(row);
                list->accept();
            } else if (auto* shown = dynamic_cast<TChessErrorDlg*>(dialog)) {
                error = shown->Message()->text();
                shown->OkButton()->click();
            }
        });
        EXPECT_EQ(events, (std::vector<std::string>{"甲", "乙", "丙"}));
        EXPECT_EQ(moves, (std::vector<std::string>{"2", "", "1"}));
        return error;
    };
    EXPECT_EQ(importChoosing(-1), "");
    EXPECT_EQ(WriteFen(), startFen);
    EXPECT_EQ(importChoosing(1), QString::fromUtf8("第2局：第2回合的着法“炮五进九”不合规则"));
    EXPECT_EQ(WriteFen(), startFen);
    EXPECT_EQ(importChoosing(2), "");
    EXPECT_EQ(WriteFen(), "rnbakabnr/9/1c2c4/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1");
    EXPECT_TRUE(ShownBoardIsTheBoard());
}

// Every file dialog, of game files and of PGN files, opens in the folder of the file chosen last:
// for the rest of the run, and in the next run from chess.ini.
TEST_F(ExtraCommandsTest, FileDialogsOpenWhereTheLastFileWasChosen) {
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("games/old")));
    const QString games = home.filePath("games");
    const QString old = home.filePath("games/old");
    const auto foldersShown = [&] {
        std::vector<QString> folders;
        for (const int32_t command :
             {kCommandRestore, kCommandSaveAs, kCommandImportGame, kCommandExportGame}) {
            RunAnswering(command, [&](QWidget* dialog) {
                if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                    folders.push_back(files->directory().absolutePath());
                    files->reject();
                }
            });
        }
        return folders;
    };
    EXPECT_EQ(ErrorShownBy(kCommandExportGame, games + "/one.pgn", kIccsFilter), "");
    EXPECT_EQ(foldersShown(), std::vector<QString>(4, games));
    EXPECT_EQ(ErrorShownBy(kCommandExportGame, old + "/two.pgn", kIccsFilter), "");
    EXPECT_EQ(foldersShown(), std::vector<QString>(4, old));
    // A new run reads the folder from chess.ini.
    ForgetFileFolder();
    EXPECT_EQ(ReadLastFolderSetting(SettingsFile()), old.toStdString());
    EXPECT_EQ(foldersShown(), std::vector<QString>(4, old));
}

struct KeyRow {
    const char* item;
    const char* key;  // as the menu shows it
    int32_t command;
};

constexpr KeyRow kKeys[] = {
    {"NewChessGame1", "Ctrl+N", kCommandNewGame},
    {"RestoreGame1", "Ctrl+O", kCommandRestore},
    {"SaveGame1", "Ctrl+S", kCommandSave},
    {"UndoMove", "Ctrl+Z", kCommandTakeBack},
    {"RedoUndo", "Ctrl+Y", kCommandReplay},
    {"CopyPosition", "Ctrl+C", kCommandCopyPosition},
    {"PastePosition", "Ctrl+V", kCommandPastePosition},
    {"Hint1", "F2", kCommandHint},
    {"Stop", "Esc", kCommandStop},
};

TEST_F(ExtraCommandsTest, KeysAreShownAndActWhileTheirBarIsShown) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    // "悔棋" and "重下" answer their keys only while they are enabled.
    form.Menus().Item("UndoMove")->setEnabled(true);
    form.Menus().Item("RedoUndo")->setEnabled(true);
    for (MenuBarKind bar : {MenuBarKind::Normal, MenuBarKind::Think, MenuBarKind::Edit}) {
        form.Menus().Show(bar);
        for (const KeyRow& row : kKeys) {
            SCOPED_TRACE(row.item);
            QAction* item = form.Menus().Item(row.item);
            EXPECT_EQ(item->shortcut().toString(), row.key);
            const bool onBar = (bar == MenuBarKind::Think) == (row.command == kCommandStop) &&
                               bar != MenuBarKind::Edit;
            ClearMessages();
            QTest::keySequence(&form, item->shortcut());
            Message message;
            const bool posted = PeekMessage(&message, kMainWindow, true);
            EXPECT_EQ(posted, onBar) << "bar " << static_cast<int>(bar);
            if (posted) {
                EXPECT_EQ(message.command, row.command);
            }
        }
    }
    form.Menus().Show(MenuBarKind::Normal);
    ClearMessages();
}

// Esc while the engine searches on its own move: the search stops at once (two-player mode keeps
// the engine from thinking on afterwards).
TEST_F(ExtraCommandsTest, EscapeStopsTheEngine) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    UseOpeningLibrary({});  // a search from the first move on
    NewGame();
    levelKind = kLevelUnlimited;
    twoPlayerMode = 1;
    bool searching = false;
    QElapsedTimer sinceEscape;
    QTimer::singleShot(300, &form, [&] {
        searching = thinking && form.Menus().Current() == MenuBarKind::Think;
        sinceEscape.start();
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    // Should Esc not stop it, the test ends anyway.
    QTimer::singleShot(20000, &form, [] { PostToMainWindow(MessageKind::Command, kCommandStop); });
    RunMenuCommand(kCommandPass);  // returns once the engine's turn has ended
    EXPECT_TRUE(searching);
    EXPECT_LT(sinceEscape.elapsed(), 2000);
    EXPECT_EQ(plyCount, 1) << "the engine played what it had found";
    EXPECT_EQ(form.Menus().Current(), MenuBarKind::Normal);
}

TEST_F(ExtraCommandsTest, TheLastMoveMarkIsSwitchedFromTheDisplayMenu) {
    QAction* item = form.Menus().Item("MarkLastMove");
    EXPECT_FALSE(item->isChecked());
    Square from = 0, to = 0;
    ASSERT_TRUE(ParseIccs("h2e2", &from, &to));
    ASSERT_TRUE(ValidateEnteredMove(from, to));
    const QPoint target = form.Renderer().SquareOrigin(to);
    EXPECT_NE(form.Canvas().Pixel(target.x() + 2, target.y() + 2), kLastMoveYellow);
    item->trigger();
    DispatchPendingMessages();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(form.Canvas().Pixel(target.x() + 2, target.y() + 2), kLastMoveYellow);
    item->trigger();
    DispatchPendingMessages();
    EXPECT_FALSE(item->isChecked());
    EXPECT_NE(form.Canvas().Pixel(target.x() + 2, target.y() + 2), kLastMoveYellow);
}

// "分析箭头": on unless chess.ini says otherwise; the item hides the arrows from the board (and
// shows them again) and chess.ini keeps the choice.
TEST_F(ExtraCommandsTest, TheAnalysisArrowsAreSwitchedFromTheDisplayMenuAndKept) {
    QAction* item = form.Menus().Item("AnalysisArrows");
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(form.Arrows().Enabled());
    Square from = 0, to = 0;
    ASSERT_TRUE(ParseIccs("h2e2", &from, &to));
    form.Arrows().SetAnalysisArrows({{from, to}});
    const QPoint middle = form.Arrows().Line({from, to}).center().toPoint();
    auto blueThere = [&] {
        const QRgb pixel =
            form.Board()->grab().toImage().pixel(middle * form.Board()->devicePixelRatioF());
        return qBlue(pixel) > qRed(pixel) + 60 && qBlue(pixel) > qGreen(pixel) + 60;
    };
    EXPECT_TRUE(blueThere());
    item->trigger();
    DispatchPendingMessages();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(blueThere());
    EXPECT_FALSE(ReadArrowsSetting(SettingsFile()));
    item->trigger();
    DispatchPendingMessages();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(blueThere());
    EXPECT_TRUE(ReadArrowsSetting(SettingsFile()));
    form.Arrows().SetAnalysisArrows({});
}

// The progress window of "分析棋局" beside the main window, right or left, where the screen has
// room for it, else at the bottom of the panel; never over the board.
TEST(ProgressPlaceTest, BesideTheWindowElseOverThePanelsBottom) {
    const QSize progress(300, 120);
    const struct {
        QRect window, panel, available;
        QPoint place;
    } rows[] = {
        {{400, 100, 731, 700}, {765, 140, 366, 660}, {0, 0, 1600, 1000}, {1131, 100}},
        {{400, 100, 731, 700}, {765, 140, 366, 660}, {0, 0, 1300, 1000}, {100, 100}},
        {{400, 350, 731, 700}, {765, 390, 366, 660}, {0, 0, 1600, 400}, {1131, 280}},
        {{0, 0, 731, 700}, {365, 40, 366, 660}, {0, 0, 1024, 768}, {398, 580}},
        {{0, 0, 731, 700}, {365, 40, 366, 660}, {0, 0, 800, 600}, {398, 580}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ProgressPlace(progress, row.window, row.panel, row.available), row.place)
            << row.available.width() << " x " << row.available.height();
    }
}

// "分析棋局" on an imported game: the analysis fills moveValues and marks the list while the
// window goes on taking commands; "停止" in its progress dialog ends it before the last ply.
TEST_F(ExtraCommandsTest, AnalysingTheGameMarksTheListWhileTheWindowRuns) {
    // Red could take Black's Rook; it moves its own aside instead.
    ASSERT_EQ(ImportGameText("[FEN \"3k5/9/9/9/9/9/9/9/4K4/r7R w\"]\n1. i0i1 *\n"), "");
    RunAnswering(kCommandAnalyseGame, [](QWidget* dialog) {
        auto* ask = dynamic_cast<TAnalyseGameDlg*>(dialog);
        ASSERT_NE(ask, nullptr);
        EXPECT_EQ(ask->SecondsPerMove(), 1.0) << "a second a move unless changed";
        ask->Seconds()->setValue(0.2);
        ask->accept();
    });
    GameAnalyser* analyser = GameAnalyser::Current();
    ASSERT_NE(analyser, nullptr);
    EXPECT_TRUE(analyser->Progress()->isVisible());
    // Off the board, whose points take the clicks of the game going on.
    const gdi::Rect frame = form.Renderer().BoardFrame();
    const QRect board(form.Board()->mapToGlobal(QPoint(frame.left, frame.top)),
                      form.Board()->mapToGlobal(QPoint(frame.right - 1, frame.bottom - 1)));
    EXPECT_FALSE(analyser->Progress()->frameGeometry().intersects(board));
    // The window takes commands while the analysis runs.
    QGuiApplication::clipboard()->clear();
    RunMenuCommand(kCommandCopyPosition);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), PositionAsFen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !analyser->Running(); }, 30000));
    EXPECT_FALSE(analyser->Progress()->isVisible());

    ASSERT_GE(moveValues.size(), 2u);
    EXPECT_TRUE(moveValues[1].analysed);
    EXPECT_EQ(moveValues[1].mark, MoveMark::Blunder);
    form.MoveList()->Refresh();
    QTableWidgetItem* cell = form.MoveList()->item(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->text().endsWith(QStringLiteral("??"))) << cell->text().toStdString();
    EXPECT_TRUE(cell->toolTip().contains(QString::fromUtf8("较好的着法：车一平九")))
        << cell->toolTip().toStdString();
    // Looking back at the position before the move: the better move as the board's arrow.
    form.Review().Show(0);
    ASSERT_TRUE(form.Review().Active());
    const std::vector<BoardArrow> better = {{moveValues[1].best.from, moveValues[1].best.to}};
    EXPECT_EQ(form.Arrows().Shown(), better);
    EXPECT_EQ(FormatIccs(moveValues[1].best), "i0a0");
    form.Review().Leave();
    EXPECT_TRUE(form.Arrows().Shown().empty());

    // A long game at ten minutes a move, stopped from its progress dialog.
    // Another game forgets the analysis of the one before.
    testing::DropChangesUnasked unasked;
    ASSERT_EQ(ImportGameText("1. h2e2 h9g7 2. h0g2 i9h9 3. i0h0 b9c7 *\n"), "");
    std::string error;
    analyser = GameAnalyser::Start(&form, 600, &error);
    ASSERT_NE(analyser, nullptr) << error;
    auto* stop = analyser->Progress()->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(), QString::fromUtf8("停止"));
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !analyser->Running(); }, 30000));
    EXPECT_EQ(analyser->PliesDone(), 0);
    for (const MoveValue& value : moveValues)
        EXPECT_FALSE(value.analysed);
    moveValues.clear();
}

// "分析棋局" of a game that then goes: a new game, a pasted position, an imported game and a
// restored one each stop it, as its "停止" does, and nothing it finds lands on the game after.
// A move taken back leaves the game: the analysis goes on.
TEST_F(ExtraCommandsTest, AnotherGameStopsTheAnalysisOfTheGameBefore) {
    testing::DropChangesUnasked unasked;
    const std::string saved = home.filePath("saved.chs").toStdString();
    ASSERT_TRUE(SaveGameFile(saved));
    constexpr char kGame[] = "1. h2e2 h9g7 2. h0g2 i9h9 *\n";
    const auto analyse = [&] {
        std::string error;
        GameAnalyser* analyser = GameAnalyser::Start(&form, 600, &error);
        EXPECT_NE(analyser, nullptr) << error;
        return analyser;
    };

    ASSERT_EQ(ImportGameText(kGame), "");
    GameAnalyser* analyser = analyse();
    ASSERT_NE(analyser, nullptr);
    RunMenuCommand(kCommandTakeBack);
    ASSERT_EQ(plyCount, 2);
    EXPECT_TRUE(analyser->Running());
    analyser->Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !analyser->Running(); }, 30000));

    const struct {
        const char* name;
        std::function<void()> replace;
    } rows[] = {
        {"新建", [] { RunMenuCommand(kCommandNewGame); }},
        {"粘贴局面",
         [] {
             QGuiApplication::clipboard()->setText(
                 QStringLiteral("3ak4/4a4/9/9/9/9/9/9/4C4/3K5 b"));
             RunMenuCommand(kCommandPastePosition);
         }},
        {"导入棋谱", [] { ASSERT_EQ(ImportGameText("1. c3c4 *\n"), ""); }},
        {"恢复", [&] { OpenGivenFile(saved); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(ImportGameText(kGame), "");
        analyser = analyse();
        ASSERT_NE(analyser, nullptr);
        row.replace();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !analyser->Running(); }, 30000));
        EXPECT_FALSE(analyser->Progress()->isVisible());
        EXPECT_EQ(form.InfoForm()->FieldText("Message"), QString::fromUtf8("棋局分析已停止"));
        for (const MoveValue& value : moveValues)
            EXPECT_FALSE(value.analysed);
    }
    moveValues.clear();
}

bool HasHanCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.script() == QChar::Script_Han; });
}

// The analysis's progress dialog and what it says at its end speak the player's language, also
// after a change of language while it runs.
TEST_F(ExtraCommandsTest, TheAnalysisSpeaksThePlayersLanguage) {
    testing::DropChangesUnasked unasked;
    ASSERT_EQ(ImportGameText("1. h2e2 h9g7 2. h0g2 i9h9 3. i0h0 b9c7 *\n"), "");
    std::string error;
    GameAnalyser* analyser = GameAnalyser::Start(&form, 600, &error);
    ASSERT_NE(analyser, nullptr) << error;
    QProgressDialog* progress = analyser->Progress();
    auto* stop = progress->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    const auto texts = [&] {
        return QStringList{progress->windowTitle(), progress->labelText(), stop->text()};
    };
    EXPECT_EQ(texts(), (QStringList{QString::fromUtf8("分析棋局"),
                                    QString::fromUtf8("正在分析棋局：第 0 / 6 步"),
                                    QString::fromUtf8("停止")}));
    testing::InLanguage english(Language::English);
    for (const QString& text : texts())
        EXPECT_FALSE(HasHanCharacter(text)) << text.toStdString();
    EXPECT_TRUE(progress->labelText().contains(QStringLiteral("6"))) << "the plies to analyse";
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(HasHanCharacter(progress->labelText())) << progress->labelText().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !analyser->Running(); }, 30000));
    const QString said = form.InfoForm()->FieldText("Message");
    EXPECT_FALSE(said.isEmpty());
    EXPECT_FALSE(HasHanCharacter(said)) << said.toStdString();
    moveValues.clear();
}

}  // namespace
}  // namespace xq
