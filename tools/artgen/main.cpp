// artgen: draws the game's piece bitmaps, their masks and the board's background pattern, and
// writes them as 24-bit BMP files under the given resource folder (the pieces and masks once more
// for each larger scale, under pieces/<scale>x/; the pieces in traditional characters under
// pieces/zh_TW/ and pieces/zh_TW/<scale>x/), with the program's icon as PNG
// files in the sizes of the desktop's icon theme. The output depends only on the
// font file, so running it twice gives the same bytes.
//
//   artgen --out DIR [--font FILE] [--preview FILE.png]
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>

#include "bmp_file.h"
#include "piece_art.h"
#include "preview.h"

namespace {

// The build names the font (AR PL UKai by default: a brush hand, like the characters cut into real
// pieces; its first face is the mainland one).
constexpr const char* kDefaultFont = ARTGEN_DEFAULT_FONT;
constexpr int kPreviewScale = 4;
// The sizes of the program's icon in the desktop's icon theme.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

struct Options {
    QString outDir;
    QString fontFile = kDefaultFont;
    QString previewFile;
};

bool ParseOptions(const QStringList& args, Options& options) {
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == "--out") {
            options.outDir = value;
        } else if (name == "--font") {
            options.fontFile = value;
        } else if (name == "--preview") {
            options.previewFile = value;
        } else {
            return false;
        }
    }
    return args.size() % 2 == 1 && !options.outDir.isEmpty();
}

bool LoadFont(const QString& file, QFont& font) {
    const int id = QFontDatabase::addApplicationFont(file);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) return false;
    font = CharacterFont(families.first());
    return true;
}

// The pieces of `kinds` at `scale` into `folder` (relative to `out`), with their masks unless
// the set shares the common ones.
bool WritePieces(const QDir& out, const QString& folder, int scale, const QFont& font,
                 const std::array<PieceKindArt, 7>& kinds, bool withMasks, QString& error) {
    if (!out.mkpath(folder)) {
        error = QStringLiteral("cannot create %1 under %2").arg(folder, out.path());
        return false;
    }
    const QImage mask = DrawPieceMask(scale);
    for (const PieceKindArt& kind : kinds) {
        const QString name = QString::fromUtf8(kind.fileName);
        if (!WriteBmp24(DrawPieceBitmap(kind, PieceSide::Red, font, scale),
                        out.filePath(folder + "/r" + name + ".bmp"), error) ||
            !WriteBmp24(DrawPieceBitmap(kind, PieceSide::Black, font, scale),
                        out.filePath(folder + "/b" + name + ".bmp"), error) ||
            (withMasks &&
             !WriteBmp24(mask, out.filePath(folder + "/mask_" + name + ".bmp"), error))) {
            return false;
        }
    }
    return true;
}

// Every scale's pieces: the program's own set with the masks in pieces/ (pieces/2x/, ...), the
// Traditional Chinese set in its folder under it.
bool WriteAllPieces(const QDir& out, const QFont& font, QString& error) {
    const QString traditional = QString::fromLatin1(kTraditionalFolder);
    for (int scale = 1; scale <= kLargestScale; ++scale) {
        const QString folder =
            scale == 1 ? QStringLiteral("pieces") : QStringLiteral("pieces/%1x").arg(scale);
        const QString traditionalFolder =
            scale == 1 ? "pieces/" + traditional
                       : QStringLiteral("pieces/%1/%2x").arg(traditional).arg(scale);
        if (!WritePieces(out, folder, scale, font, kPieceKinds, true, error) ||
            !WritePieces(out, traditionalFolder, scale, font, kTraditionalPieceKinds, false, error))
            return false;
    }
    return true;
}

bool WriteAll(const Options& options, const QFont& font, QString& error) {
    const QDir out(options.outDir);
    if (!out.mkpath("bmp")) {
        error = QStringLiteral("cannot create the folders under %1").arg(options.outDir);
        return false;
    }
    if (!WriteAllPieces(out, font, error)) return false;
    if (!WriteBmp24(DrawBackgroundPattern(), out.filePath("bmp/BKBrush.bmp"), error)) return false;
    for (int size : kIconSizes) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        if (!out.mkpath(folder) ||
            !DrawIcon(size, font).save(out.filePath(folder + "/lanchuan-xiangqi.png"), "PNG")) {
            error = QStringLiteral("cannot write the icon of %1 pixels").arg(size);
            return false;
        }
    }
    if (!options.previewFile.isEmpty() &&
        !DrawPreview(font, kPreviewScale).save(options.previewFile, "PNG")) {
        error = QStringLiteral("cannot write %1").arg(options.previewFile);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application, but no display: draw off screen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Options options;
    if (!ParseOptions(app.arguments(), options)) {
        std::fprintf(stderr, "usage: artgen --out DIR [--font FILE] [--preview FILE.png]\n");
        return 2;
    }
    QFont font;
    if (!LoadFont(options.fontFile, font)) {
        std::fprintf(stderr, "artgen: cannot load the font %s\n", qPrintable(options.fontFile));
        return 1;
    }
    QString error;
    if (!WriteAll(options, font, error)) {
        std::fprintf(stderr, "artgen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
