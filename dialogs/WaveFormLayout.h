#ifndef DIALOGS_WAVEFORMLAYOUT_H
#define DIALOGS_WAVEFORMLAYOUT_H

#include <windows.h>

#include <string>
#include <vector>

// Where the waveform display's texts stand, so that every row shows. Each
// text is cut into paragraphs at its blank lines; the paragraphs of one text
// fill one to three columns top down, half a line apart; the texts stand side
// by side, left to right, the last one a cell in from the display's right
// edge (a cell stays clear on the left too, so that no glyph meets an edge),
// each paragraph right-aligned in its column. The note (the flag lines) goes
// at the bottom of the last column, left-aligned. Of the fonts offered,
// largest first, the first at which everything fits is taken, with as few
// columns as fit; when none fits, the smallest in one column. Plain
// arithmetic on character cells: the fonts are fixed-pitch.
class WaveFormLayout {
public:
    static const int kMaxColumns = 3;  // per text

    struct Font {
        int height;      // as asked for (pixels)
        int cellWidth;   // of one character
        int lineHeight;
    };
    struct Piece {
        std::string text;
        int source;  // index of its text; the note: -1
        RECT rect;   // right-aligned, or left-aligned for the note
    };

    WaveFormLayout();

    void Arrange(const std::vector<std::string>& texts, const std::string& note, SIZE display,
                 const std::vector<Font>& fonts);
    // The font taken (an index into the fonts given), and what goes where.
    int GetFontIndex() const { return m_fontIndex; }
    const std::vector<Piece>& GetPieces() const { return m_pieces; }

private:
    struct Paragraph {
        std::string text;
        int source;
        int lines;
        int chars;
    };
    typedef std::vector<std::vector<Paragraph> > Columns;

    static std::vector<Paragraph> Paragraphs(const std::string& text, int source, bool split);
    // The columns of every text with k columns each; FALSE when they do not fit.
    static BOOL Fit(const std::vector<std::vector<Paragraph> >& texts, const Font& font, int k, SIZE display,
                    std::vector<Columns>* placed);
    static Columns Split(const std::vector<Paragraph>& paragraphs, const Font& font, int k);
    static int ColumnHeight(const std::vector<Paragraph>& column, const Font& font);
    static int ColumnWidth(const std::vector<Paragraph>& column, const Font& font);
    void Place(const std::vector<Columns>& texts, const Font& font, SIZE display);

    int m_fontIndex;
    std::vector<Piece> m_pieces;
};

#endif
