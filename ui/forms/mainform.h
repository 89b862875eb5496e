// The main window. Left half: the board, drawn on the window's canvas by the BoardRenderer;
// right half: the information panel and, in front of it while the editor is open, the piece
// palette. Above: one of the three menu bars. It translates what the user does into messages for
// the queue, shows what the core reports through its Display (windowdisplay.h), and owns the
// start-up and close steps. It decides no rule.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "ui/boardgeometry.h"
#include "ui/boardrenderer.h"
#include "ui/gdi/canvas.h"
#include "ui/menus.h"
#include "ui/pieceimages.h"

namespace xq {

class AnalysisMode;
class BoardArrows;
class CanvasWidget;
class DragSprite;
class MouseEntry;
class TInfoForm;
class TEditForm;
class MoveListView;
class GameReview;
class WindowDisplay;
class TPieceValueDlg;
class TInputSecPerMoveDlg;
class TInputMinPerGameDlg;
class TInputPlyDlg;
class TColorDlg;
class TAboutDlg;
class TEngineManagerDlg;

// The scale of the window's canvases on the screen it opens on.
int ScreenScale();

// A screen below 800 x 600 gets a warning at start-up.
bool ScreenTooSmall(int width, int height);

// Where the window's frame of size `frame` opens: in the middle of the screen's `available`
// area, or at its top or left edge where the screen is too small, so that the caption and the menu
// bar are always on the screen.
QPoint WindowPlace(const QSize& frame, const QRect& available);

// The main window's caption: the program's name, after the name of the game's file once the game
// has one ("g1.chs — 澜川中国象棋").
QString WindowCaption(const QString& gameFile);

class TMainForm : public QMainWindow {
  public:
    TMainForm();
    ~TMainForm() override;

    gdi::Canvas& Canvas() { return canvas_; }
    BoardRenderer& Renderer() { return *renderer_; }
    DragSprite& Sprite() { return *sprite_; }
    MouseEntry& Mouse() { return *mouse_; }
    MainMenus& Menus() { return menus_; }
    CanvasWidget* Board() const { return canvasWidget_; }
    TInfoForm* InfoForm() const { return infoForm_; }
    TEditForm* EditForm() const { return editForm_; }
    MoveListView* MoveList() const { return moveList_; }
    AnalysisMode& Analysis() const { return *analysis_; }
    GameReview& Review() { return *review_; }
    // The analysis's arrows over the board.
    BoardArrows& Arrows() { return *arrows_; }

    // The whole client area again: the background pattern, the window's frame and the board.
    void FormPaint();
    // The window's canvases, artwork and drawing at canvas scale `scale`, after the window has
    // moved to a screen of another device pixel ratio; a lifted piece goes back first.
    void SetCanvasScale(int scale);
    // Greys "悔棋" and "重下" when there is nothing to take back or replay.
    void RefreshEditItems();
    // The commands that open a dialog: piece values, the three levels that ask for a number,
    // the board colour and the about box.
    void RunDialogCommand(int32_t command);
    TAboutDlg* AboutDialog() const { return aboutDlg_; }
    TColorDlg* ColourDialog() const { return colorDlg_; }
    TEngineManagerDlg* EngineManagerDialog() const { return engineManagerDlg_; }

    // The piece artwork as the board and the palette draw it now.
    const PieceImages& Pieces() const { return images_; }
    // Where the background pattern was read from (a file, the built-in resource, or nothing).
    const QString& PatternSource() const { return patternSource_; }

    // Window state (the move entry's is in Mouse()).
    bool closeWaiting = false;  // a close waits for the engine's search to unwind
    bool closeUnasked = false;  // the close asks nothing (the end-of-game dialog's "No")

    // The caption names `path`, the game's file (none when empty).
    void ShowGameFile(const QString& path);
    // "显示" > "语言": the window in `language` at once, and chess.ini keeps the choice.
    void ChooseLanguage(Language language);

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormShow();
    void Retranslate();
    bool FormCloseQuery();
    void LoadPattern();
    // The piece artwork at `scale` in the set of the language installed.
    void LoadPieces(int scale);
    void RegisterHandlers();

    gdi::Canvas canvas_;
    MainMenus menus_;
    CanvasWidget* canvasWidget_;
    TInfoForm* infoForm_;
    TEditForm* editForm_;
    MoveListView* moveList_;  // below the board
    QTimer timer1_;           // the panel clock's second
    QTimer timer2_;           // housekeeping
    QTimer stopAgain_;        // while a close waits: stops every search that still runs
    QFont systemFont_;
    PieceImages images_;
    gdi::Brush pattern_;
    QString patternSource_;
    std::unique_ptr<BoardRenderer> renderer_;
    std::unique_ptr<DragSprite> sprite_;
    std::unique_ptr<MouseEntry> mouse_;
    std::unique_ptr<WindowDisplay> display_;
    std::unique_ptr<GameReview> review_;
    std::unique_ptr<BoardArrows> arrows_;
    // The dialogs, created once with the window as their parent.
    TPieceValueDlg* pieceValueDlg_;
    TInputSecPerMoveDlg* secPerMoveDlg_;
    TInputMinPerGameDlg* minPerGameDlg_;
    TInputPlyDlg* plyDlg_;
    TColorDlg* colorDlg_;
    TAboutDlg* aboutDlg_;
    TEngineManagerDlg* engineManagerDlg_;
    AnalysisMode* analysis_;  // "分析模式"
    bool shown_ = false;
    QString gameFile_;  // the caption's game file
};

// The one main window while it exists (the handlers of the core's procedure reach it here).
extern TMainForm* mainForm;

}  // namespace xq
