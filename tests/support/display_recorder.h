// A Display that records every call in order, for tests that assert on what the core told the
// window. Installed for its lifetime; the silent default is restored when it goes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/display.h"

namespace xq::testing {

struct DisplayCall {
    DisplayCall(std::string_view method, std::string_view argument = "", int number = -1)
        : name(method), text(argument), value(number) {}

    std::string name;  // the Display method
    std::string text;  // its text argument, empty when it has none
    int value;         // its side, flag, cursor, menu or icon argument; -1 when it has none

    bool operator==(const DisplayCall&) const = default;
};

class DisplayRecorder : public Display {
  public:
    DisplayRecorder() { SetDisplay(this); }
    ~DisplayRecorder() override { SetDisplay(nullptr); }
    DisplayRecorder(const DisplayRecorder&) = delete;
    DisplayRecorder& operator=(const DisplayRecorder&) = delete;

    std::vector<DisplayCall> calls;

    void Clear() { calls.clear(); }
    // The calls named `name`, in order.
    std::vector<DisplayCall> Named(std::string_view name) const {
        std::vector<DisplayCall> found;
        for (const DisplayCall& call : calls)
            if (call.name == name) found.push_back(call);
        return found;
    }
    int Count(std::string_view name) const { return static_cast<int>(Named(name).size()); }
    // What the message line shows now: the text of the last ShowMessage or ShowWarning.
    std::string MessageLine() const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->name == "ShowMessage" || it->name == "ShowWarning") return it->text;
        return "";
    }

    void RedrawChangedSquares() override { Add("RedrawChangedSquares"); }
    void RedrawAll() override { Add("RedrawAll"); }
    void SyncShownBoard() override { Add("SyncShownBoard"); }
    void ClearShownBoard() override { Add("ClearShownBoard"); }
    void ClearThreatMarks() override { Add("ClearThreatMarks"); }
    void EndDrag(bool glideBack) override { Add("EndDrag", "", glideBack ? 1 : 0); }
    void ResetPanel() override { Add("ResetPanel"); }
    void ShowTurn(Side side) override { Add("ShowTurn", "", side); }
    void ShowMessage(std::string_view text) override { Add("ShowMessage", text); }
    void ShowWarning(std::string_view text) override { Add("ShowWarning", text); }
    void ShowMoveLine(Side side, std::string_view text) override {
        Add("ShowMoveLine", text, side);
    }
    void ClearBestPath() override { Add("ClearBestPath"); }
    void ShowLevel() override { Add("ShowLevel"); }
    void ShowPanelValue(std::string_view field, std::string_view text) override {
        Add("ShowPanelValue", std::string(field) + "=" + std::string(text));
    }
    void StartClockDisplay() override { Add("StartClockDisplay"); }
    void StopClockDisplay() override { Add("StopClockDisplay"); }
    void SetCursor(Cursor cursor) override { Add("SetCursor", "", static_cast<int>(cursor)); }
    void SetMenu(MenuKind menu) override { Add("SetMenu", "", static_cast<int>(menu)); }
    void EnableMenuItem(std::string_view item, bool enabled) override {
        Add("EnableMenuItem", item, enabled ? 1 : 0);
    }
    void CheckMenuItem(std::string_view item, bool checked) override {
        Add("CheckMenuItem", item, checked ? 1 : 0);
    }
    void SetMenuItemCaption(std::string_view item, std::string_view caption) override {
        Add("SetMenuItemCaption", std::string(item) + "=" + std::string(caption));
    }
    void ShowGameFile(std::string_view path) override { Add("ShowGameFile", path); }
    void Beep() override { Add("Beep"); }
    void ShowEndOfGame(std::string_view result) override { Add("ShowEndOfGame", result); }
    void MessageBox(std::string_view text, std::string_view caption, BoxIcon icon) override {
        Add("MessageBox", std::string(text) + "|" + std::string(caption), static_cast<int>(icon));
    }

  private:
    void Add(std::string_view name, std::string_view text = "", int value = -1) {
        calls.emplace_back(name, text, value);
    }
};

}  // namespace xq::testing
