#include "records/settings.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "records/gamelog.h"

namespace xq {

BoardColor colorSquare = kDefaultSquareColor;
uint8_t boardReversed = 0;

namespace {

constexpr size_t kMaxValueLength = 79;
constexpr int kWrittenDecimals = 6;  // "%lf"

// The number at the start of `text` (an optional '+' allowed); false when there is none. Reading
// with from_chars keeps the decimal point a point whatever the locale says.
template <typename Number>
bool LeadingNumber(std::string_view text, Number* value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end != text.data();
}

double ReadLevelTime(const std::filesystem::path& file) {
    const std::string text =
        ReadProfileString(kSettingsSection, "AverageTime", "5.0", kMaxValueLength, file);
    double value = 0;
    return LeadingNumber(text, &value) && IsLevelTime(value) ? value : kDefaultLevelTime;
}

BoardColor ReadSquareColor(const std::filesystem::path& file) {
    const std::string text =
        ReadProfileString(kSettingsSection, "ColorSquare", "", kMaxValueLength, file);
    if (text.empty()) return colorSquare;
    long long number = 0;
    if (!LeadingNumber(text, &number)) return kDefaultSquareColor;
    const auto v = static_cast<uint32_t>(number);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)};
}

int EngineSetting(EngineKind kind) {
    switch (kind) {
        case EngineKind::Master:
            return kMasterEngineSetting;
        case EngineKind::Added:
            return kAddedEngineSetting;
        case EngineKind::Classic:
            break;
    }
    return kClassicEngineSetting;
}

}  // namespace

std::string LevelTimeText(double value, int decimals) {
    char text[64];
    auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    double back = 0;
    if (error == std::errc() && LeadingNumber(std::string_view(text, end - text), &back) &&
        back == value)
        return std::string(text, end);
    end = std::to_chars(text, text + sizeof text, value).ptr;  // at most 24 characters
    return std::string(text, end);
}

std::filesystem::path SettingsFile() {
    const std::filesystem::path folder = ConfigFolder();
    return folder.empty() ? folder : folder / kSettingsFileName;
}

void Reset() {
    std::copy(std::begin(kDefaultPieceValue), std::end(kDefaultPieceValue), pieceValue);
    levelKind = kDefaultLevel;
    levelTime = kDefaultLevelTime;
    maxDepth = kDefaultMaxDepth;
    colorSquare = kDefaultSquareColor;
    boardReversed = 0;
    soundOn = kDefaultSoundOn;
    bestPathShown = 1;
    engineKind = kDefaultEngine;
    addedEngineName.clear();
    twoPlayerMode = 0;
    analysisMode = 0;
    demoMode = 0;
    timedThinking = 0;
    pondering = 0;
    noTimeLimit = 0;
    timeLimit = 0.0;
    stopSearch = 0;
    searchScore = 0;
}

void ReadSettings(const std::filesystem::path& file) {
    // 1. Level: one byte of the integer.
    const auto level =
        static_cast<uint8_t>(ReadProfileInt(kSettingsSection, "Level", kDefaultLevel, file));
    levelKind = IsLevel(level) ? level : kDefaultLevel;
    // 2. AverageTime.
    levelTime = ReadLevelTime(file);
    // 3. ColorSquare.
    colorSquare = ReadSquareColor(file);
    // 4. MaxLevel: one byte of the integer.
    const auto depth =
        static_cast<uint8_t>(ReadProfileInt(kSettingsSection, "MaxLevel", kDefaultMaxDepth, file));
    maxDepth = IsDepthLimit(depth) ? depth : kDefaultMaxDepth;
    // 5. SoundOn: any integer other than 0 means on.
    soundOn = ReadProfileInt(kSettingsSection, "SoundOn", kDefaultSoundOn, file) != 0 ? 1 : 0;
    // 6. Engine: a missing key or an unknown value means the classic engine.
    const int engine = ReadProfileInt(kSettingsSection, "Engine", kClassicEngineSetting, file);
    engineKind = engine == kMasterEngineSetting ? EngineKind::Master : EngineKind::Classic;
    // 7. AddedEngine: the name of the added engine, which only Engine=2 chooses.
    addedEngineName.clear();
    if (engine == kAddedEngineSetting) {
        addedEngineName =
            ReadProfileString(kSettingsSection, "AddedEngine", "", kLongestEngineName, file);
        if (!addedEngineName.empty()) engineKind = EngineKind::Added;
    }
}

std::string ReadLanguageSetting(const std::filesystem::path& file) {
    const std::string code = ReadProfileString(kSettingsSection, "Language", "", 16, file);
    for (const char* known : kLanguageCodes)
        if (code == known) return code;
    return {};
}

bool WriteLanguageSetting(const std::filesystem::path& file, std::string_view code) {
    return WriteProfileString(kSettingsSection, "Language", code, file);
}

std::string ReadLastFolderSetting(const std::filesystem::path& file) {
    constexpr size_t kLongestPath = 4096;  // PATH_MAX
    return ReadProfileString(kSettingsSection, "LastFolder", "", kLongestPath, file);
}

bool WriteLastFolderSetting(const std::filesystem::path& file, std::string_view folder) {
    if (folder.find_first_of("\r\n") != std::string_view::npos) return false;
    return WriteProfileString(kSettingsSection, "LastFolder", '"' + std::string(folder) + '"',
                              file);
}

bool ReadArrowsSetting(const std::filesystem::path& file) {
    return ReadProfileInt(kSettingsSection, "AnalysisArrows", 1, file) != 0;
}

bool WriteArrowsSetting(const std::filesystem::path& file, bool shown) {
    return WriteProfileString(kSettingsSection, "AnalysisArrows", shown ? "1" : "0", file);
}

void WriteSettings(const std::filesystem::path& file) {
    CloseGameLog();
    const long color = colorSquare.red + 256L * colorSquare.green + 65536L * colorSquare.blue;
    WriteProfileString(kSettingsSection, "ColorSquare", std::to_string(color), file);
    WriteProfileString(kSettingsSection, "Level", std::to_string(levelKind), file);
    WriteProfileString(kSettingsSection, "AverageTime", LevelTimeText(levelTime, kWrittenDecimals),
                       file);
    WriteProfileString(kSettingsSection, "MaxLevel", std::to_string(maxDepth), file);
    WriteProfileString(kSettingsSection, "SoundOn", std::to_string(soundOn ? 1 : 0), file);
    WriteProfileString(kSettingsSection, "Engine", std::to_string(EngineSetting(engineKind)), file);
    // The name goes in double quotes, so that blanks at its ends survive.
    if (engineKind == EngineKind::Added)
        WriteProfileString(kSettingsSection, "AddedEngine", '"' + addedEngineName + '"', file);
}

}  // namespace xq
