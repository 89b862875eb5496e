#include <charconv>
#include <cmath>
#include <string>

#include "host/match.h"

namespace xq::host {
namespace {

// Seconds as "12", "0.25" or "1:30" (minutes and seconds) into milliseconds; false for
// anything else, negative values included.
bool ParseSeconds(std::string_view text, int64_t* milliseconds) {
    double minutes = 0;
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        int64_t whole = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + colon, whole);
        if (error != std::errc() || end != text.data() + colon || whole < 0) return false;
        minutes = static_cast<double>(whole);
        text.remove_prefix(colon + 1);
    }
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
    if (!(seconds >= 0) || !std::isfinite(seconds) || seconds > 1e9) return false;
    *milliseconds = std::llround((minutes * 60 + seconds) * 1000);
    return true;
}

bool ParseCount(std::string_view text, int64_t* count) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *count);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool Refuse(std::string* error, std::string_view key, std::string_view value) {
    *error = "invalid time control " + std::string(key) + "=" + std::string(value);
    return false;
}

std::string SecondsText(int64_t milliseconds) {
    std::string text = std::to_string(milliseconds / 1000);
    if (int64_t rest = milliseconds % 1000; rest != 0) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        text += "." + fraction;
    }
    return text;
}

}  // namespace

bool ParseTimeControl(std::string_view key, std::string_view value, TimeControl* control,
                      std::string* error) {
    if (key == "st") {
        int64_t moveTime = 0;
        if (!ParseSeconds(value, &moveTime) || moveTime <= 0) return Refuse(error, key, value);
        control->moveTime = moveTime;
        control->base = -1;
        control->increment = 0;
        return true;
    }
    if (key == "tc") {
        std::string_view rest = value;
        if (const size_t slash = rest.find('/'); slash != std::string_view::npos) {
            int64_t moves = 0;
            if (!ParseCount(rest.substr(0, slash), &moves) || moves <= 0)
                return Refuse(error, key, value);
            rest.remove_prefix(slash + 1);
        }
        int64_t increment = 0;
        if (const size_t plus = rest.find('+'); plus != std::string_view::npos) {
            if (!ParseSeconds(rest.substr(plus + 1), &increment)) return Refuse(error, key, value);
            rest = rest.substr(0, plus);
        }
        int64_t base = 0;
        if (!ParseSeconds(rest, &base) || base <= 0) return Refuse(error, key, value);
        control->base = base;
        control->increment = increment;
        control->moveTime = -1;
        return true;
    }
    if (key == "depth") {
        int64_t depth = 0;
        if (!ParseCount(value, &depth) || depth <= 0 || depth > 1000)
            return Refuse(error, key, value);
        control->depth = static_cast<int>(depth);
        return true;
    }
    if (key == "timemargin") {
        int64_t margin = 0;
        if (!ParseCount(value, &margin) || margin < 0) return Refuse(error, key, value);
        control->margin = margin;
        return true;
    }
    *error = "unknown time control " + std::string(key);
    return false;
}

std::string TimeControlTag(const TimeControl& control) {
    if (control.moveTime > 0) return SecondsText(control.moveTime) + "/move";
    if (control.base > 0) {
        std::string tag = SecondsText(control.base);
        if (control.increment > 0) tag += "+" + SecondsText(control.increment);
        return tag;
    }
    return "-";
}

}  // namespace xq::host
