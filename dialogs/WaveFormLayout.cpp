#include "dialogs/WaveFormLayout.h"

#include <algorithm>

namespace {

const int kColumnGapCells = 2;  // between the columns of one text
const int kTextGapCells = 3;    // between two texts
const int kEdgeCells = 1;       // between the texts and the display's left and right edges

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

int WidestLine(const std::string& text) {
    int widest = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        const size_t length = (end == std::string::npos ? text.size() : end) - start;
        widest = std::max(widest, static_cast<int>(length));
        if (end == std::string::npos) return widest;
        start = end + 1;
    }
}

int ParagraphGap(const WaveFormLayout::Font& font) {
    return font.lineHeight / 2;
}

}  // namespace

WaveFormLayout::WaveFormLayout() : m_fontIndex(0) {}

std::vector<WaveFormLayout::Paragraph> WaveFormLayout::Paragraphs(const std::string& text, int source, bool split) {
    std::vector<Paragraph> paragraphs;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = split ? text.find("\n\n", start) : std::string::npos;
        const std::string piece = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        paragraphs.push_back({piece, source, Lines(piece), WidestLine(piece)});
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return paragraphs;
}

int WaveFormLayout::ColumnHeight(const std::vector<Paragraph>& column, const Font& font) {
    int height = 0;
    for (const Paragraph& p : column) height += p.lines * font.lineHeight;
    if (column.size() > 1) height += static_cast<int>(column.size() - 1) * ParagraphGap(font);
    return height;
}

int WaveFormLayout::ColumnWidth(const std::vector<Paragraph>& column, const Font& font) {
    int chars = 0;
    for (const Paragraph& p : column) chars = std::max(chars, p.chars);
    return chars * font.cellWidth;
}

// The paragraphs in order, cut into at most k columns so that the tallest
// is as low as can be.
WaveFormLayout::Columns WaveFormLayout::Split(const std::vector<Paragraph>& paragraphs, const Font& font, int k) {
    const int n = static_cast<int>(paragraphs.size());
    Columns best(1, paragraphs);
    int bestHeight = ColumnHeight(paragraphs, font);
    // Two cuts a <= b: columns [0, a), [a, b), [b, n); an empty one is dropped.
    for (int a = 1; a <= n && k > 1; ++a) {
        for (int b = a; b <= n; ++b) {
            if (k < 3 && b != n) continue;
            Columns columns;
            const int cuts[] = {0, a, b, n};
            for (int c = 0; c < 3; ++c) {
                if (cuts[c] < cuts[c + 1])
                    columns.push_back(std::vector<Paragraph>(paragraphs.begin() + cuts[c], paragraphs.begin() + cuts[c + 1]));
            }
            int height = 0;
            for (const auto& column : columns) height = std::max(height, ColumnHeight(column, font));
            if (height < bestHeight) {
                bestHeight = height;
                best = columns;
            }
        }
    }
    return best;
}

BOOL WaveFormLayout::Fit(const std::vector<std::vector<Paragraph> >& texts, const Font& font, int k, SIZE display,
                         std::vector<Columns>* placed) {
    placed->clear();
    int width = 2 * kEdgeCells * font.cellWidth;
    int height = 0;
    for (const auto& text : texts) {
        if (text.empty()) continue;
        if (!placed->empty()) width += kTextGapCells * font.cellWidth;
        placed->push_back(Split(text, font, k));
        const Columns& columns = placed->back();
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) width += kColumnGapCells * font.cellWidth;
            width += ColumnWidth(columns[c], font);
            height = std::max(height, ColumnHeight(columns[c], font));
        }
    }
    return width <= display.cx && height <= display.cy;
}

void WaveFormLayout::Arrange(const std::vector<std::string>& texts, const std::string& note, SIZE display,
                             const std::vector<Font>& fonts) {
    m_pieces.clear();
    m_fontIndex = 0;
    if (fonts.empty()) return;
    std::vector<std::vector<Paragraph> > paragraphs;
    for (size_t t = 0; t < texts.size(); ++t) paragraphs.push_back(Paragraphs(texts[t], static_cast<int>(t), true));
    if (!note.empty()) {
        if (paragraphs.empty()) paragraphs.resize(1);
        const std::vector<Paragraph> last = Paragraphs(note, -1, false);
        paragraphs.back().insert(paragraphs.back().end(), last.begin(), last.end());
    }
    std::vector<Columns> placed;
    for (size_t f = 0; f < fonts.size(); ++f) {
        for (int k = 1; k <= kMaxColumns; ++k) {
            if (Fit(paragraphs, fonts[f], k, display, &placed)) {
                m_fontIndex = static_cast<int>(f);
                Place(placed, fonts[f], display);
                return;
            }
        }
    }
    m_fontIndex = static_cast<int>(fonts.size() - 1);
    Fit(paragraphs, fonts.back(), 1, display, &placed);
    Place(placed, fonts.back(), display);
}

// From the right edge leftwards; paragraphs from the top, the note at the bottom.
void WaveFormLayout::Place(const std::vector<Columns>& texts, const Font& font, SIZE display) {
    int right = display.cx - kEdgeCells * font.cellWidth;
    for (size_t t = texts.size(); t-- > 0;) {
        const Columns& columns = texts[t];
        for (size_t c = columns.size(); c-- > 0;) {
            const int left = right - ColumnWidth(columns[c], font);
            int top = 0;
            for (const Paragraph& p : columns[c]) {
                const int height = p.lines * font.lineHeight;
                Piece piece = {p.text, p.source, {left, top, right, top + height}};
                if (p.source < 0) SetRect(&piece.rect, left, display.cy - height, right, display.cy);
                m_pieces.push_back(piece);
                top += height + ParagraphGap(font);
            }
            right = left - kColumnGapCells * font.cellWidth;
        }
        right -= (kTextGapCells - kColumnGapCells) * font.cellWidth;
    }
}
