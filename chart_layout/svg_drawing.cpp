#include "chart_layout/svg_drawing.h"

#include <cmath>
#include <type_traits>

#include "chart_layout/ink_colours.h"
#include "core/concat.h"
#include "core/number_text.h"

namespace taviro::stats {

namespace {

// A coordinate to a hundredth of a pixel.
std::string Number(double x) {
    const double rounded = std::round(x * 100) / 100;
    return FullNumber(rounded == 0 ? 0.0 : rounded);
}

std::string Escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Colour(Ink ink, const char* attribute) {
    const Rgba c = InkRgba(ink);
    constexpr char kHex[] = "0123456789abcdef";
    std::string text = Concat(" ", attribute, "=\"#");
    for (std::uint8_t part : {c.red, c.green, c.blue}) {
        text += kHex[part >> 4];
        text += kHex[part & 15];
    }
    text += '"';
    if (c.alpha != 255)
        text += Concat(" ", attribute, "-opacity=\"", Number(c.alpha / 255.0), "\"");
    return text;
}

std::string Points(const std::vector<Point>& points) {
    std::string text;
    for (const Point& p : points) {
        text += Concat(text.empty() ? "" : " ", Number(p.x), ",", Number(p.y));
    }
    return text;
}

std::string Element(const Area& area) {
    return Concat("<polygon points=\"", Points(area.outline), "\"", Colour(area.ink, "fill"),
                  "/>\n");
}

std::string Element(const Line& line) {
    std::string dash;
    if (line.dashed)
        dash = Concat(" stroke-dasharray=\"", Number(4 * line.width), " ", Number(2 * line.width),
                      "\"");
    return Concat("<polyline points=\"", Points(line.points), "\" fill=\"none\"",
                  Colour(line.ink, "stroke"), " stroke-width=\"", Number(line.width),
                  "\" stroke-linejoin=\"round\"", dash, "/>\n");
}

// The text's baseline below its box's top, and the box's height, as parts of the font size (a
// Japanese Gothic's ascent and its ascent and descent).
constexpr double kAscent = 0.88;
constexpr double kHeight = 1.0;

std::string Element(const Caption& caption) {
    const char* anchor = "start";
    double baseline = kAscent;  // from `at`, in font sizes
    switch (caption.anchor) {
        case Anchor::Top:
        case Anchor::Center:
        case Anchor::Bottom:
            anchor = "middle";
            break;
        case Anchor::TopRight:
        case Anchor::Right:
        case Anchor::BottomRight:
            anchor = "end";
            break;
        default:
            break;
    }
    switch (caption.anchor) {
        case Anchor::Left:
        case Anchor::Center:
        case Anchor::Right:
            baseline -= kHeight / 2;
            break;
        case Anchor::BottomLeft:
        case Anchor::Bottom:
        case Anchor::BottomRight:
            baseline -= kHeight;
            break;
        default:
            break;
    }
    std::string place = Concat("x=\"", Number(caption.at.x), "\" y=\"",
                               Number(caption.at.y + baseline * caption.size), "\"");
    if (caption.upright) {
        place = Concat("transform=\"translate(", Number(caption.at.x), " ", Number(caption.at.y),
                       ") rotate(-90)\" y=\"", Number(baseline * caption.size), "\"");
    }
    return Concat("<text ", place, " font-size=\"", Number(caption.size), "\"",
                  caption.bold ? " font-weight=\"bold\"" : "", " text-anchor=\"", anchor, "\"",
                  Colour(caption.ink, "fill"), ">", Escaped(caption.text), "</text>\n");
}

}  // namespace

std::string SvgDocument(const Drawing& drawing, double width, double height,
                        const std::string& title) {
    std::string svg = Concat("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", Number(width),
                             "\" height=\"", Number(height), "\" viewBox=\"0 0 ",
                             Number(drawing.width), " ", Number(drawing.height),
                             "\" xml:space=\"preserve\" font-family=\"IPAPGothic, 'IPAexGothic', "
                             "'Noto Sans CJK JP', 'Hiragino Sans', "
                             "'Yu Gothic', sans-serif\">\n");
    if (!title.empty()) svg += Concat("<title>", Escaped(title), "</title>\n");
    svg += Concat("<rect width=\"", Number(drawing.width), "\" height=\"", Number(drawing.height),
                  "\" fill=\"#ffffff\"/>\n");
    for (const Mark& mark : drawing.marks) {
        svg += std::visit([](const auto& m) { return Element(m); }, mark);
    }
    return svg + "</svg>\n";
}

}  // namespace taviro::stats
