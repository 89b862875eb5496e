// "引擎比赛...": the form's answers as the match they describe (engines, games, time, openings,
// PGN file), a short match between our two engines played from the dialog to its end with the
// score and the PGN file, a match stopped from it, and the small board that shows the games; the
// engines it and "分析棋局..." offer.
#include "ui/dialogs/matchdlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "engine/book.h"
#include "engine/enginechoice.h"
#include "rules/attacks.h"
#include "ui/dialogs/analysegamedlg.h"
#include "ui/dialogs/miniboard.h"

namespace xq {
namespace {

enum Clock { kPerMove, kPerGame, kByDepth };

// The dialog's fields, found by their names in its layout.
struct Fields {
    explicit Fields(QWidget& dialog)
        : Engine1(Find<QComboBox>(dialog, "Engine1")),
          Engine2(Find<QComboBox>(dialog, "Engine2")),
          Games(Find<QSpinBox>(dialog, "Games")),
          PerMove(Find<QRadioButton>(dialog, "PerMove")),
          PerGame(Find<QRadioButton>(dialog, "PerGame")),
          ByDepth(Find<QRadioButton>(dialog, "ByDepth")),
          Seconds(Find<QDoubleSpinBox>(dialog, "Seconds")),
          Minutes(Find<QDoubleSpinBox>(dialog, "Minutes")),
          Increment(Find<QDoubleSpinBox>(dialog, "Increment")),
          Depth(Find<QSpinBox>(dialog, "Depth")),
          Openings(Find<QComboBox>(dialog, "Openings")),
          OpeningFile(Find<QLineEdit>(dialog, "OpeningFile")),
          PgnFile(Find<QLineEdit>(dialog, "PgnFile")),
          Score(Find<QTableWidget>(dialog, "Score")),
          Elo(Find<QLabel>(dialog, "Elo")),
          GameLine(Find<QLabel>(dialog, "GameLine")),
          LastResult(Find<QLabel>(dialog, "LastResult")),
          StartButton(Find<QPushButton>(dialog, "StartButton")),
          StopButton(Find<QPushButton>(dialog, "StopButton")) {}
    template <class T>
    static T* Find(QWidget& dialog, const char* name) {
        T* field = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    QComboBox* Engine1;
    QComboBox* Engine2;
    QSpinBox* Games;
    QRadioButton* PerMove;
    QRadioButton* PerGame;
    QRadioButton* ByDepth;
    QDoubleSpinBox* Seconds;
    QDoubleSpinBox* Minutes;
    QDoubleSpinBox* Increment;
    QSpinBox* Depth;
    QComboBox* Openings;
    QLineEdit* OpeningFile;
    QLineEdit* PgnFile;
    QTableWidget* Score;
    QLabel* Elo;
    QLabel* GameLine;
    QLabel* LastResult;
    QPushButton* StartButton;
    QPushButton* StopButton;
};
enum Source { kLibrary, kStart, kFile };

class MatchDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (OwnEngineProgram().empty()) GTEST_SKIP() << "lanchuan-engine is not built";
        addedEngines.clear();
        InitAttackTable();  // the library's lines are generated moves
        ASSERT_TRUE(LoadOpeningLibrary(std::string(XQ_SOURCE_DIR) + "/data/opening.lib"));
        ASSERT_TRUE(folder.isValid());
    }
    // The form filled in as the user does: engines by place in the list (标准, 大师), the time.
    static void Fill(Fields& form, int first, int second, int games, Clock clock, double a,
                     double b, Source source, const QString& file = {}, const QString& pgn = {}) {
        form.Engine1->setCurrentIndex(first);
        form.Engine2->setCurrentIndex(second);
        form.Games->setValue(games);
        (clock == kPerMove   ? form.PerMove
         : clock == kPerGame ? form.PerGame
                             : form.ByDepth)
            ->setChecked(true);
        form.Seconds->setValue(a);
        form.Minutes->setValue(a);
        form.Increment->setValue(b);
        form.Depth->setValue(static_cast<int>(a));
        form.Openings->setCurrentIndex(source);
        form.OpeningFile->setText(file);
        form.PgnFile->setText(pgn);
    }
    QString Write(const char* name, const std::string& text) const {
        const QString path = folder.filePath(QString::fromLatin1(name));
        std::ofstream(path.toStdString()) << text;
        return path;
    }
    static std::string Option(const host::EngineSetup& setup, const std::string& name) {
        for (const auto& [key, value] : setup.options)
            if (key == name) return value;
        return {};
    }

    QTemporaryDir folder;
};

TEST_F(MatchDlgTest, TheFormIsTheMatchItDescribes) {
    TMatchDlg dialog;
    Fields form(dialog);
    ASSERT_EQ(form.Engine1->count(), 2) << "标准 and 大师, no engine added";
    const QString epd = Write("two.epd",
                              "# two endings\n"
                              "3k5/9/9/9/9/9/9/9/4R4/4K4 w\n"
                              "3k5/9/9/9/9/9/9/9/4C4/4K4 b - - 0 1\n");
    const struct {
        const char* name;
        int first, second, games;
        Clock clock;
        double a, b;
        Source source;
        QString file, pgn;
        // expected
        int64_t moveTime, base, increment;
        int depth;
        size_t openings;  // 0: none; 1000: the library's, whatever their number
        std::string secondName;
    } rows[] = {
        {"seconds a move",
         0,
         1,
         4,
         kPerMove,
         0.5,
         0,
         kStart,
         {},
         "/tmp/m.pgn",
         500,
         -1,
         0,
         0,
         0,
         "大师"},
        {"minutes and increment",
         1,
         0,
         2,
         kPerGame,
         2,
         1.5,
         kStart,
         {},
         {},
         -1,
         120000,
         1500,
         0,
         0,
         "标准"},
        {"depth", 0, 1, 6, kByDepth, 3, 0, kStart, {}, {}, -1, -1, 0, 3, 0, "大师"},
        {"library lines", 0, 1, 2, kPerMove, 1, 0, kLibrary, {}, {}, 1000, -1, 0, 0, 1000, "大师"},
        {"a FEN file", 0, 1, 2, kPerMove, 1, 0, kFile, epd, {}, 1000, -1, 0, 0, 2, "大师"},
        {"one engine against itself",
         1,
         1,
         2,
         kPerMove,
         1,
         0,
         kStart,
         {},
         {},
         1000,
         -1,
         0,
         0,
         0,
         "大师 (2)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fill(form, row.first, row.second, row.games, row.clock, row.a, row.b, row.source, row.file,
             row.pgn);
        host::MatchSettings match;
        QString error;
        ASSERT_TRUE(dialog.Settings(&match, &error)) << error.toStdString();
        EXPECT_EQ(match.engines[0].name, row.first == 0 ? "标准" : "大师");
        EXPECT_EQ(match.engines[1].name, row.secondName);
        EXPECT_EQ(Option(match.engines[0], "Engine"), row.first == 0 ? "Classic" : "Master");
        EXPECT_EQ(Option(match.engines[1], "Engine"), row.second == 0 ? "Classic" : "Master");
        EXPECT_EQ(match.engines[0].command.program, OwnEngineProgram());
        EXPECT_EQ(match.games, row.games);
        EXPECT_EQ(match.timeControl.moveTime, row.moveTime);
        EXPECT_EQ(match.timeControl.base, row.base);
        EXPECT_EQ(match.timeControl.increment, row.increment);
        EXPECT_EQ(match.timeControl.depth, row.depth);
        EXPECT_EQ(match.pgnPath, row.pgn.toStdString());
        EXPECT_EQ(match.repeat, row.openings != 0) << "each opening from both sides";
        if (row.openings == 1000) {
            ASSERT_GT(match.openings.size(), 10u);
            EXPECT_EQ(match.openings[0].moves.size(), static_cast<size_t>(kLibraryOpeningPlies));
            EXPECT_EQ(match.openings[0].moves[0], "h2e2") << "the library's main line first";
            for (const host::Opening& opening : match.openings)
                EXPECT_LE(opening.moves.size(), static_cast<size_t>(kLibraryOpeningPlies));
        } else {
            ASSERT_EQ(match.openings.size(), row.openings);
        }
        if (row.openings == 2) {
            EXPECT_NE(match.openings[0].fen.find("/4R4/4K4 w"), std::string::npos);
            EXPECT_NE(match.openings[1].fen.find("/4C4/4K4 b"), std::string::npos);
        }
    }

    // Refused: an opening file that is not there, or holds no position.
    const QString bad = Write("bad.epd", "this is no position\n");
    for (const QString& file : {folder.filePath(QStringLiteral("missing.pgn")), bad, QString()}) {
        Fill(form, 0, 1, 2, kPerMove, 1, 0, kFile, file);
        host::MatchSettings match;
        QString error;
        EXPECT_FALSE(dialog.Settings(&match, &error)) << file.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(dialog.StartMatch());
        EXPECT_FALSE(dialog.Running());
        EXPECT_EQ(form.LastResult->text(), error) << "the reason shown in the dialog";
    }
}

// Two games at depth 1 between 标准 and 大师: the table counts both, the Elo line shows, the PGN
// file holds both games, the board a position with both Kings, the form usable again.
TEST_F(MatchDlgTest, AShortMatchIsPlayedToItsEndFromTheDialog) {
    TMatchDlg dialog;
    Fields form(dialog);
    const QString pgn = folder.filePath(QStringLiteral("match.pgn"));
    Fill(form, 0, 1, 2, kByDepth, 1, 0, kStart, {}, pgn);
    dialog.show();
    QTest::mouseClick(form.StartButton, Qt::LeftButton);
    EXPECT_TRUE(dialog.Running());
    EXPECT_FALSE(form.StartButton->isEnabled());
    EXPECT_TRUE(form.StopButton->isEnabled());
    EXPECT_FALSE(form.Engine1->isEnabled()) << "the form rests while the match runs";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 50000));

    EXPECT_EQ(dialog.GamesEnded(), 2);
    const host::MatchScore score = dialog.Score();
    EXPECT_EQ(score.Games(), 2);
    EXPECT_EQ(form.Score->item(0, 0)->text(), QString::fromUtf8("标准"));
    EXPECT_EQ(form.Score->item(1, 0)->text(), QString::fromUtf8("大师"));
    EXPECT_EQ(form.Score->item(0, 1)->text().toInt(), score.wins);
    EXPECT_EQ(form.Score->item(0, 2)->text().toInt(), score.draws);
    EXPECT_EQ(form.Score->item(0, 3)->text().toInt(), score.losses);
    EXPECT_EQ(form.Score->item(1, 1)->text().toInt(), score.losses) << "the mirror row";
    EXPECT_TRUE(form.Elo->text().startsWith(QStringLiteral("Elo")))
        << form.Elo->text().toStdString();
    EXPECT_TRUE(form.Elo->text().contains(QString::fromUtf8("2 局")));
    EXPECT_EQ(form.LastResult->text(), QString::fromUtf8("比赛结束"));
    EXPECT_TRUE(form.StartButton->isEnabled());
    EXPECT_FALSE(form.StopButton->isEnabled());

    std::ifstream in(pgn.toStdString());
    std::stringstream text;
    text << in.rdbuf();
    size_t games = 0;
    for (size_t at = text.str().find("[Event "); at != std::string::npos;
         at = text.str().find("[Event ", at + 1))
        ++games;
    EXPECT_EQ(games, 2u) << text.str();

    int kings = 0;
    for (int rank = 0; rank < 10; ++rank)
        for (int file = 0; file < 9; ++file)
            kings += dialog.Board()->PieceAt(file, rank).toLower() == u'k';
    EXPECT_EQ(kings, 2);
}

// 停止 ends a long match while a game is being played; the stopped game does not count.
TEST_F(MatchDlgTest, StopEndsTheMatchAndItsEngines) {
    TMatchDlg dialog;
    Fields form(dialog);
    Fill(form, 0, 1, 100, kPerMove, 5, 0, kStart);
    dialog.show();
    ASSERT_TRUE(dialog.StartMatch());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.GameLine->text().isEmpty(); }, 20000));
    EXPECT_TRUE(form.GameLine->text().contains(QString::fromUtf8("第 1 局")));
    QTest::mouseClick(form.StopButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 20000));
    EXPECT_EQ(dialog.Score().Games(), 0);
    EXPECT_EQ(form.LastResult->text(), QString::fromUtf8("比赛已停止"));
}

// The engines the dialogs offer: 标准 (lanchuan-engine, Engine=Classic), 大师 (inside the program
// for the analysis, lanchuan-engine with Engine=Master for a match) and the added ones; the game's
// engine is the one chosen at first, an added engine named like one of ours told apart.
TEST_F(MatchDlgTest, TheDialogsOfferOurEnginesAndTheAddedOnesTheGamesChosen) {
    host::EngineSetup alpha;
    alpha.name = "Alpha";
    alpha.command.program = "/opt/alpha";
    host::EngineSetup namesake = alpha;
    namesake.name = "大师";
    addedEngines = {alpha, namesake};
    const struct {
        EngineKind kind;
        const char* added;
        int chosen;  // in 标准, 大师, Alpha, 大师 (added)
    } rows[] = {
        {EngineKind::Classic, "", 0},
        {EngineKind::Master, "", 1},
        {EngineKind::Added, "Alpha", 2},
        {EngineKind::Added, "大师", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        engineKind = row.kind;
        addedEngineName = row.added;
        for (const bool inside : {true, false}) {
            const std::vector<EngineChoice> choices = EngineChoices(inside);
            ASSERT_EQ(choices.size(), 4u);
            EXPECT_EQ(ChosenEngineIndex(choices), row.chosen);
            EXPECT_EQ(choices[1].setup.has_value(), !inside) << "大师 inside the analysis";
            EXPECT_EQ(Option(*choices[0].setup, "Engine"), "Classic");
            EXPECT_EQ(choices[2].setup->command.program, "/opt/alpha");
            EXPECT_FALSE(choices[3].own);
        }
        TAnalyseGameDlg analyse;
        EXPECT_EQ(analyse.Engine()->currentIndex(), row.chosen);
        const std::optional<host::EngineSetup> engine = analyse.ChosenEngine();
        EXPECT_EQ(engine.has_value(), row.chosen != 1);
        if (engine) {
            EXPECT_EQ(engine->name, row.chosen == 0 ? "标准" : row.added);
        }
    }
    engineKind = EngineKind::Classic;
    addedEngineName.clear();
    addedEngines.clear();
}

// The small board reads the FEN's placement, ranks from 9 down, Red in capitals.
TEST(MiniBoardTest, ShowsThePlacementOfTheFen) {
    MiniBoard board;
    board.SetFen(QStringLiteral("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w"));
    const struct {
        int file, rank;
        char piece;
    } rows[] = {{0, 0, 'R'}, {4, 0, 'K'}, {1, 2, 'C'}, {8, 3, 'P'}, {4, 9, 'k'},
                {7, 7, 'c'}, {4, 4, ' '}, {1, 3, ' '}, {8, 9, 'r'}};
    for (const auto& row : rows)
        EXPECT_EQ(board.PieceAt(row.file, row.rank), QChar(row.piece)) << row.file << row.rank;
    board.SetFen(QStringLiteral("3k5/9/9/9/9/9/9/9/4C4/3K5 b"));
    EXPECT_EQ(board.PieceAt(3, 9), QChar(u'k'));
    EXPECT_EQ(board.PieceAt(4, 1), QChar(u'C'));
    EXPECT_EQ(board.PieceAt(0, 0), QChar(u' ')) << "the opening's pieces are gone";
}

}  // namespace
}  // namespace xq
