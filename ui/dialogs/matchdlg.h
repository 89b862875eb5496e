// "引擎比赛...": a match between two engines (标准 and 大师 as lanchuan-engine, or engines the user
// added) played by the match runner (host/match.h) on a thread of its own while the window goes
// on. The form gives the engines, the number of games, the time (seconds a move, minutes a game
// with an increment, or a depth), the openings (the opening library's lines, the opening array,
// or a PGN or FEN file; colours alternate, each opening played from both sides) and the PGN file
// the games go to. The dialog's own small board shows the game being played, the table the
// running score with the Elo difference and its 95% interval; 停止 ends the match and its engines.
#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/match.h"
#include "ui/dialogs/enginechoices.h"

class QCloseEvent;

namespace Ui {
class TMatchDlg;
}

namespace xq {

class MiniBoard;

// How many plies of each opening-library line a game starts from.
inline constexpr int kLibraryOpeningPlies = 6;

class TMatchDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TMatchDlg(QWidget* parent = nullptr);
    ~TMatchDlg() override;  // stops the match and waits for its engines to end

    // The match the form describes; false with the reason when it cannot be played (no engine,
    // an opening file that cannot be read or holds no legal opening, an empty opening library).
    bool Settings(host::MatchSettings* settings, QString* error) const;
    // Starts the match the form describes on the runner's thread; false with the reason in the
    // dialog (and in `error`) when it cannot begin.
    bool StartMatch(QString* error = nullptr);
    // Asks the running match to stop; its games end as stopped and its engines are ended.
    void StopMatch();
    bool Running() const { return running_; }
    // The score so far from the first engine's view.
    const host::MatchScore& Score() const { return score_; }
    int GamesEnded() const { return gamesEnded_; }

    MiniBoard* Board() const;

  signals:
    // The match has ended (also when stopped); `error` says why when it could not begin.
    void Finished(QString error);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void ShowRunning();
    void ShowScore();
    void GameStarted(int game, const QString& red, const QString& black);
    void MovePlayed(int game, const QString& fen);
    void GameEnded(const host::GameRecordOut& game, const host::MatchScore& score);
    void MatchEnded(bool ok, const QString& error);
    void ChooseOpeningFile();
    void ChoosePgnFile();
    void Join();

    std::unique_ptr<Ui::TMatchDlg> ui_;
    std::vector<EngineChoice> choices_;
    host::MatchSettings settings_;  // the running match's, read by its thread
    host::MatchEvents events_;
    std::atomic<bool> stop_{false};
    std::thread runner_;
    bool running_ = false;
    int shownGame_ = 0;  // the game the board shows
    int gamesEnded_ = 0;
    host::MatchScore score_;
    QString names_[2];
};

}  // namespace xq
