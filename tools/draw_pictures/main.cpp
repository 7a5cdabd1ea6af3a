// Draws the two pictures of the insertion aids as 1-bit black-on-white PNGs and writes the
// grid files that map their cells to TeX text. The tables below are the single source of
// both, so a picture and its grid file always agree.
//
// Letters (508 x 320): 11 columns by 10 rows. Symbols (552 x 404): 11 columns by 15 rows
// in six boxed groups, two groups separated by a 3-pixel gap; the symbol window shows the
// picture 8 pixels further left than drawn, so its grid boundaries are the drawn x minus 8.
// In the symbol grid the gaps are rows of their own with no cells, so a click on a gap
// inserts nothing; the grid's rows are therefore numbered by the line above them.
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// How a glyph is drawn in its cell beyond the plain fill.
enum Look : int {
    kPlain = 0,
    // Horizontal strokes too thin to survive the cut to black and white (the bars of
    // brackets, the bar of the lunate epsilon) are thickened.
    kHeavy = 1,
    // Placed as on a line of text beside an "x", not centred by its own box: an underscore
    // sits low, where a dash would not.
    kOnLine = 2,
};

struct Cell {
    const char* glyph; // UTF-8
    const char* tex;   // ASCII
    int look = kPlain;
};

struct Row {
    int topLine; // index of the line above the row
    std::vector<Cell> cells;
};

struct Picture {
    const char* name;
    int width;
    int height;
    int pixelSize;
    int shift; // picture x minus control x
    std::vector<int> xs;
    std::vector<int> ys;
    std::vector<Row> rows;
};

Picture letters() {
    return {"letters",
            508,
            320,
            21,
            0,
            {5, 54, 99, 146, 192, 233, 277, 320, 366, 416, 460, 502},
            {6, 37, 68, 99, 129, 161, 192, 223, 254, 284, 315},
            {
                {0,
                 {{"Γ", "\\Gamma"},
                  {"Δ", "\\Delta"},
                  {"Θ", "\\Theta"},
                  {"Λ", "\\Lambda"},
                  {"Ξ", "\\Xi"},
                  {"Π", "\\Pi"},
                  {"Σ", "\\Sigma"},
                  {"Υ", "\\Upsilon"},
                  {"Φ", "\\Phi"},
                  {"Ψ", "\\Psi"},
                  {"Ω", "\\Omega"}}},
                {1,
                 {{"α", "\\alpha"},
                  {"β", "\\beta"},
                  {"γ", "\\gamma"},
                  {"δ", "\\delta"},
                  {"ϵ", "\\epsilon", kHeavy},
                  {"ε", "\\varepsilon"},
                  {"ζ", "\\zeta"},
                  {"η", "\\eta"},
                  {"θ", "\\theta"},
                  {"ϑ", "\\vartheta"},
                  {"ι", "\\iota"}}},
                {2,
                 {{"κ", "\\kappa"},
                  {"ϰ", "\\varkappa"},
                  {"λ", "\\lambda"},
                  {"μ", "\\mu"},
                  {"ν", "\\nu"},
                  {"ξ", "\\xi"},
                  {"π", "\\pi"},
                  {"ϖ", "\\varpi"},
                  {"ρ", "\\rho"},
                  {"ϱ", "\\varrho"},
                  {"σ", "\\sigma"}}},
                {3,
                 {{"ς", "\\varsigma"},
                  {"τ", "\\tau"},
                  {"υ", "\\upsilon"},
                  {"ϕ", "\\phi"},
                  {"φ", "\\varphi"},
                  {"χ", "\\chi"},
                  {"ψ", "\\psi"},
                  {"ω", "\\omega"}}},
                {4,
                 {{"Å", "\\AA"},
                  {"å", "\\aa"},
                  {"Æ", "\\AE"},
                  {"æ", "\\ae"},
                  {"Ł", "\\L"},
                  {"ł", "\\l"},
                  {"Ø", "\\O"},
                  {"ø", "\\o"},
                  {"Œ", "\\OE"},
                  {"œ", "\\oe"},
                  {"ß", "\\ss"}}},
                {5, {{"ı", "\\i"}, {"ȷ", "\\j"}}},
                {6,
                 {{"#", "\\#"},
                  {"$", "\\$"},
                  {"%", "\\%"},
                  {"&", "\\&"},
                  {"_", "\\_", kOnLine | kHeavy},
                  {"‘", "`"},
                  {"’", "'"},
                  {"[", "[", kHeavy},
                  {"]", "]", kHeavy},
                  {"†", "\\dag"},
                  {"‡", "\\ddag"}}},
                {7, {{"©", "\\copyright"}, {"¶", "\\P"}, {"§", "\\S"}, {"№", "\\No"}}},
                // Accents on x. The punctuation accents go straight before the next letter;
                // the letter accents are followed by a space for the same reason.
                {8,
                 {{"x\u0301", "\\'"},
                  {"x\u0307", "\\."},
                  {"x\u0304", "\\="},
                  {"x\u0302", "\\^"},
                  {"x\u0300", "\\`"},
                  {"x\u0308", "\\\""},
                  {"x\u0303", "\\~"},
                  {"x\u0327", "\\c "},
                  {"x\u0323", "\\d "},
                  {"x\u030B", "\\H "},
                  {"x\u0361x", "\\t "}}},
                {9, {{"x\u0306", "\\u "}, {"x\u030C", "\\v "}}},
            }};
}

Picture symbols() {
    return {"symbols",
            552,
            404,
            18,
            8,
            {10, 61, 113, 165, 217, 273, 330, 382, 424, 464, 504, 543},
            {6,   31,  56,  81,  84,  109, 133, 158, 183, 186, 211,
             236, 239, 264, 289, 313, 316, 341, 366, 369, 394},
            {
                {0,
                 {{"±", "\\pm"},
                  {"∓", "\\mp"},
                  {"∖", "\\setminus"},
                  {"·", "\\cdot"},
                  {"×", "\\times"},
                  {"∗", "\\ast"},
                  {"⋆", "\\star"},
                  {"⋄", "\\diamond"},
                  {"∘", "\\circ"},
                  {"•", "\\bullet"},
                  {"÷", "\\div"}}},
                {1,
                 {{"⊕", "\\oplus"},
                  {"⊗", "\\otimes"},
                  {"⊖", "\\ominus"},
                  {"⊘", "\\oslash"},
                  {"⊙", "\\odot"},
                  {"∩", "\\cap"},
                  {"∪", "\\cup"},
                  {"∨", "\\vee"},
                  {"∧", "\\wedge"},
                  {"&", "\\&"},
                  {"⨿", "\\amalg"}}},
                {2,
                 {{"⊓", "\\sqcap"},
                  {"⊔", "\\sqcup"},
                  {"⊎", "\\uplus"},
                  {"◁", "\\triangleleft"},
                  {"▷", "\\triangleright"},
                  {"≀", "\\wr"},
                  {"◯", "\\bigcirc"},
                  {"△", "\\bigtriangleup"},
                  {"▽", "\\bigtriangledown"},
                  {"†", "\\dagger"},
                  {"‡", "\\ddagger"}}},
                {4,
                 {{"≤", "\\leq"},
                  {"≥", "\\geq"},
                  {"⩽", "\\leqslant"},
                  {"⩾", "\\geqslant"},
                  {"≪", "\\ll"},
                  {"≫", "\\gg"},
                  {"≺", "\\prec"},
                  {"⪯", "\\preceq"},
                  {"≻", "\\succ"},
                  {"⪰", "\\succeq"},
                  {"≠", "\\neq"}}},
                {5,
                 {{"≡", "\\equiv"},
                  {"∼", "\\sim"},
                  {"≃", "\\simeq"},
                  {"≈", "\\approx"},
                  {"≍", "\\asymp"},
                  {"≅", "\\cong"},
                  {"≐", "\\doteq"},
                  {"⋈", "\\bowtie"},
                  {"∝", "\\propto"},
                  {"⊨", "\\models"}}},
                {6,
                 {{"∈", "\\in"},
                  {"∋", "\\ni"},
                  {"∉", "\\notin"},
                  {"⊂", "\\subset"},
                  {"⊆", "\\subseteq"},
                  {"⊃", "\\supset"},
                  {"⊇", "\\supseteq"},
                  {"⊑", "\\sqsubseteq"},
                  {"⊒", "\\sqsupseteq"}}},
                {7,
                 {{"∥", "\\parallel"},
                  {"⊥", "\\perp"},
                  {"∣", "\\mid"},
                  {"⌣", "\\smile"},
                  {"⌢", "\\frown"},
                  {"⊢", "\\vdash"},
                  {"⊣", "\\dashv"}}},
                {9,
                 {{"∀", "\\forall"},
                  {"∃", "\\exists"},
                  {"∅", "\\emptyset"},
                  {"ℵ", "\\aleph"},
                  {"∞", "\\infty"},
                  {"∇", "\\nabla"},
                  {"∂", "\\partial"},
                  {"ℜ", "\\Re"},
                  {"ℑ", "\\Im"},
                  {"∫", "\\int"},
                  {"¬", "\\neg"}}},
                {10,
                 {{"ı", "\\imath"},
                  {"ȷ", "\\jmath"},
                  {"ℏ", "\\hbar"},
                  {"ℓ", "\\ell"},
                  {"℘", "\\wp"},
                  {"∠", "\\angle"},
                  {"△", "\\triangle"},
                  {"⊤", "\\top"},
                  {"⊥", "\\bot"},
                  {"∖", "\\backslash"}}},
                {12,
                 {{"←", "\\leftarrow"},
                  {"⇐", "\\Leftarrow"},
                  {"→", "\\rightarrow"},
                  {"⇒", "\\Rightarrow"},
                  {"↔", "\\leftrightarrow"},
                  {"⇔", "\\Leftrightarrow"},
                  {"↦", "\\mapsto"},
                  {"↩", "\\hookleftarrow"},
                  {"↼", "\\leftharpoonup"},
                  {"⇀", "\\rightharpoonup"},
                  {"⇌", "\\rightleftharpoons"}}},
                {13,
                 {{"⟵", "\\longleftarrow"},
                  {"⟸", "\\Longleftarrow"},
                  {"⟶", "\\longrightarrow"},
                  {"⟹", "\\Longrightarrow"},
                  {"⟷", "\\longleftrightarrow"},
                  {"⟺", "\\Longleftrightarrow"},
                  {"⟼", "\\longmapsto"},
                  {"↪", "\\hookrightarrow"},
                  {"↽", "\\leftharpoondown"},
                  {"⇁", "\\rightharpoondown"}}},
                {14,
                 {{"↑", "\\uparrow"},
                  {"⇑", "\\Uparrow"},
                  {"↓", "\\downarrow"},
                  {"⇓", "\\Downarrow"},
                  {"↕", "\\updownarrow"},
                  {"⇕", "\\Updownarrow"},
                  {"↗", "\\nearrow"},
                  {"↖", "\\nwarrow"},
                  {"↙", "\\swarrow"},
                  {"↘", "\\searrow"}}},
                {16,
                 {{"∑", "\\sum"},
                  {"∏", "\\prod"},
                  {"∐", "\\coprod"},
                  {"⋂", "\\bigcap"},
                  {"⋃", "\\bigcup"},
                  {"⨆", "\\bigsqcup"},
                  {"⨄", "\\biguplus"},
                  {"∫", "\\int"}}},
                {17,
                 {{"⨁", "\\bigoplus"},
                  {"⨂", "\\bigotimes"},
                  {"⨀", "\\bigodot"},
                  {"⋁", "\\bigvee"},
                  {"⋀", "\\bigwedge"}}},
                {19,
                 {{"⌊", "\\lfloor"},
                  {"⌋", "\\rfloor"},
                  {"⌈", "\\lceil"},
                  {"⌉", "\\rceil"},
                  {"⟨", "\\langle"},
                  {"⟩", "\\rangle"},
                  {"{", "\\{"},
                  {"}", "\\}"},
                  {"∣", "|"},
                  {"‖", "\\|"}}},
            }};
}

const char* const kFamily = "STIXGeneral";
// A smoothed pixel at least this dark becomes black.
const int kInkLevel = 150;
// A heavy glyph is drawn twice, this many pixels apart vertically: its horizontal strokes
// grow by as much, its vertical ones keep their width.
const double kHeavyBar = 0.6;

bool draw(const Picture& p, const QString& pngPath, const QString& grdPath) {
    QFont font(kFamily);
    font.setPixelSize(p.pixelSize);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    if (QFontInfo(font).family() != kFamily) {
        std::fprintf(stderr, "draw_pictures: font %s is not installed\n", kFamily);
        return false;
    }
    QFontMetrics metrics(font);

    QImage image(p.width, p.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    const int left = p.xs.front();
    const int right = p.xs.back();
    for (int y : p.ys)
        painter.fillRect(left, y, right - left + 1, 1, Qt::black);

    std::string grid = "x_g=";
    for (size_t i = 0; i < p.xs.size(); ++i)
        grid += (i ? " " : "") + std::to_string(p.xs[i] - p.shift);
    grid += "\r\ny_g=";
    for (size_t i = 0; i < p.ys.size(); ++i)
        grid += (i ? " " : "") + std::to_string(p.ys[i]);
    grid += "\r\nx_gs=" + std::to_string(p.xs.size() - 1) +
            "\r\ny_gs=" + std::to_string(p.ys.size() - 1) + "\r\n";

    const size_t columns = p.xs.size() - 1;
    for (const Row& row : p.rows) {
        const int top = p.ys[row.topLine];
        const int bottom = p.ys[row.topLine + 1];
        for (size_t k = 0; k <= row.cells.size(); ++k)
            painter.fillRect(p.xs[k], top, 1, bottom - top + 1, Qt::black);
        if (row.cells.size() < columns)
            painter.fillRect(right, top, 1, bottom - top + 1, Qt::black);
        for (size_t k = 0; k < row.cells.size(); ++k) {
            const QString glyph = QString::fromUtf8(row.cells[k].glyph);
            for (char32_t c : glyph.toUcs4()) {
                if (!metrics.inFontUcs4(c)) {
                    std::fprintf(stderr, "draw_pictures: %s lacks U+%04X\n", kFamily, unsigned(c));
                    return false;
                }
            }
            const Cell& cell = row.cells[k];
            QPainterPath path;
            path.addText(0, 0, font, glyph);
            const QRectF box = path.boundingRect();
            QPainterPath reference;
            reference.addText(0, 0, font, QStringLiteral("x"));
            const QRectF placedBy = cell.look & kOnLine ? reference.boundingRect() : box;
            const QRect area(p.xs[k] + 1, top + 1, p.xs[k + 1] - p.xs[k] - 1, bottom - top - 1);
            const QPointF centre((p.xs[k] + p.xs[k + 1] + 1) / 2.0, (top + bottom + 1) / 2.0);
            painter.save();
            painter.setClipRect(area);
            painter.translate(std::round(centre.x() - box.center().x()),
                              std::round(centre.y() - placedBy.center().y()));
            // Smoothed, then cut to black and white below: thin strokes survive.
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.fillPath(path, Qt::black);
            if (cell.look & kHeavy) painter.fillPath(path.translated(0, kHeavyBar), Qt::black);
            painter.restore();
            grid += std::to_string(k) + "." + std::to_string(row.topLine) + "=" + cell.tex + "\r\n";
        }
    }
    painter.end();

    QImage mono(p.width, p.height, QImage::Format_Mono);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            mono.setPixel(x, y, qGray(image.pixel(x, y)) < kInkLevel ? 1 : 0);
    if (!mono.save(pngPath, "PNG")) {
        std::fprintf(stderr, "draw_pictures: cannot write %s\n", qPrintable(pngPath));
        return false;
    }
    QFile file(grdPath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(grid.data(), qint64(grid.size())) != qint64(grid.size())) {
        std::fprintf(stderr, "draw_pictures: cannot write %s\n", qPrintable(grdPath));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_pictures <source folder>\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    for (const Picture& p : {letters(), symbols()}) {
        const QString name = QString::fromLatin1(p.name);
        if (!draw(p, source + "/src/insertion/pictures/" + name + ".png",
                  source + "/data/" + name + ".grd"))
            return 1;
    }
    return 0;
}
