// Line layout of DrawText: hard breaks, word wrapping and tab stops over the
// whole-pixel advances of a face (no kerning, as GDI's DrawText).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32/GdiObjects.h"

namespace valmere::win32 {

class TextSetter {
public:
    TextSetter(const ResolvedFont& font, UINT format);

    // The pen position after codePoint, from pen position x of the line
    // (0 = the line's start). With DT_EXPANDTABS a tab moves to the next stop
    // of eight average character widths; otherwise it is a glyph like others.
    std::int64_t Step(std::int64_t x, char32_t codePoint) const;
    bool ExpandsTab(char32_t codePoint) const { return codePoint == U'\t' && expandTabs_; }
    FontFace& Face() const { return face_; }

    // Splits text into lines: at "\r\n", "\n" and "\r" unless DT_SINGLELINE
    // (a break that ends the text opens no empty line); with DT_WORDBREAK
    // also between words where a line would grow wider than wrapWidth. A
    // word wider than wrapWidth keeps its own line; the spaces at a wrap are
    // dropped.
    void BreakLines(const std::vector<char32_t>& text, std::int64_t wrapWidth, std::vector<TextLine>& lines) const;

private:
    void WrapParagraph(const std::vector<char32_t>& text, std::size_t begin, std::size_t end,
                       std::int64_t wrapWidth, std::vector<TextLine>& lines) const;
    std::int64_t Measure(const std::vector<char32_t>& text, std::size_t begin, std::size_t end) const;

    FontFace& face_;
    UINT format_;
    bool expandTabs_;
    std::int64_t tabWidth_;
};

}  // namespace valmere::win32
