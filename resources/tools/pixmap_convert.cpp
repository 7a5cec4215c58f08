// Turns the character pixel maps of resources/pictures into the .bmp and .ico files that
// vorrin.rc compiles in. It runs on the build machine during the Windows builds, so it uses
// nothing but the standard library.
//
//   pixmap_convert bitmap OUT.bmp A.pxm B.pxm ...   pictures side by side, left to right, 24-bit
//   pixmap_convert bitmap16 OUT.bmp A.pxm ...       the same in 16 colours of its own, a sixth the size
//   pixmap_convert icon   OUT.ico A.pxm B.pxm ...   one 16-colour image per map, with its AND mask
//
// Instead of a map, DRAWING.pxd@SIZE draws a picture of SIZE x SIZE pixels from a drawing,
// so each size is made for its own grid rather than stretched from another (see ReadDrawing).
//
// A map is plain text:
//   # a comment (only above the pixel rows)
//   picture 16 16
//   colour . 192 192 192 background     a character, its red, green and blue, then free text
//   colour - transparent                icons only: the AND mask lets the desktop show through
//   pixels
//   ................                    exactly "height" rows of "width" characters each
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool transparent = false;
    bool operator==(const Colour&) const = default;
};

struct Pixmap {
    int width = 0, height = 0;
    std::vector<Colour> pixels; // row by row, top row first

    const Colour& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Line 0 stands for the file as a whole.
[[noreturn]] void Fail(const std::string& path, int line, const std::string& what)
{
    throw InputError(path + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what);
}

int ReadNumber(std::istringstream& words, int low, int high, const std::string& path, int line,
               const char* what)
{
    int value = 0;
    if (!(words >> value) || value < low || value > high)
        Fail(path, line, std::string("expected ") + what + " from " + std::to_string(low) + " to " +
                             std::to_string(high));
    return value;
}

Colour ReadColour(std::istringstream& words, const std::string& path, int line)
{
    words >> std::ws;
    if (words.peek() == 't') {
        std::string word;
        words >> word;
        if (word != "transparent")
            Fail(path, line, "expected red, green and blue, or \"transparent\"");
        return Colour{.transparent = true};
    }
    Colour colour;
    colour.red = static_cast<std::uint8_t>(ReadNumber(words, 0, 255, path, line, "red"));
    colour.green = static_cast<std::uint8_t>(ReadNumber(words, 0, 255, path, line, "green"));
    colour.blue = static_cast<std::uint8_t>(ReadNumber(words, 0, 255, path, line, "blue"));
    return colour;
}

Pixmap ReadPixmap(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        Fail(path, 0, "cannot open");
    Pixmap map;
    std::map<char, Colour> legend;
    bool inPixels = false;
    int rowsRead = 0;
    int lineNumber = 0;
    for (std::string text; std::getline(file, text);) {
        ++lineNumber;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (inPixels) {
            if (rowsRead == map.height) {
                if (text.find_first_not_of(" \t") != std::string::npos)
                    Fail(path, lineNumber, "more pixel rows than the picture's height");
                continue;
            }
            if (static_cast<int>(text.size()) != map.width)
                Fail(path, lineNumber, "row is " + std::to_string(text.size()) + " wide, not " +
                                           std::to_string(map.width));
            for (int x = 0; x < map.width; ++x) {
                const auto found = legend.find(text[static_cast<std::size_t>(x)]);
                if (found == legend.end())
                    Fail(path, lineNumber, std::string("character '") + text[static_cast<std::size_t>(x)] +
                                               "' is not in the colour legend");
                map.pixels.push_back(found->second);
            }
            ++rowsRead;
            continue;
        }
        std::istringstream words(text);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#')
            continue;
        if (keyword == "picture") {
            map.width = ReadNumber(words, 1, 255, path, lineNumber, "a width");
            map.height = ReadNumber(words, 1, 255, path, lineNumber, "a height");
        } else if (keyword == "colour") {
            std::string symbol;
            if (!(words >> symbol) || symbol.size() != 1)
                Fail(path, lineNumber, "expected one character after \"colour\"");
            if (legend.contains(symbol[0]))
                Fail(path, lineNumber, "character '" + symbol + "' is in the legend twice");
            legend[symbol[0]] = ReadColour(words, path, lineNumber);
        } else if (keyword == "pixels") {
            if (map.width == 0)
                Fail(path, lineNumber, "\"picture WIDTH HEIGHT\" must come before the pixels");
            inPixels = true;
        } else {
            Fail(path, lineNumber, "unknown keyword \"" + keyword + "\"");
        }
    }
    if (rowsRead != map.height || !inPixels)
        Fail(path, lineNumber, "expected " + std::to_string(map.height) + " pixel rows after \"pixels\"");
    return map;
}

// A drawing is plain text, its lengths in units of a design grid:
//   drawing 16 16                       the grid's width and height
//   colour . 192 192 192 background     as in a map; the first colour fills the picture
//   fill y rect 1 4 15 14               shapes: rect LEFT TOP RIGHT BOTTOM,
//   fill k polygon 0 6 6 6 6 8 0 8      polygon X Y X Y ..., ellipse CX CY RX RY
//   outlined y k rect 1 4 15 14         filled, with a crisp edge in the second colour
//   edge k ellipse 8 8 5 5              the edge alone
// A pixel belongs to a shape when its centre does, so edges fall on whole pixels at any size;
// an edge is one pixel wide per whole grid unit's worth of pixels, at least one.
struct Shape {
    std::string kind;
    std::vector<double> numbers;

    bool Contains(double x, double y) const
    {
        const std::vector<double>& n = numbers;
        if (kind == "rect")
            return x >= n[0] && x < n[2] && y >= n[1] && y < n[3];
        if (kind == "ellipse") {
            const double dx = (x - n[0]) / n[2], dy = (y - n[1]) / n[3];
            return dx * dx + dy * dy <= 1.0;
        }
        bool inside = false; // polygon, even-odd
        for (std::size_t i = 0, j = n.size() - 2; i < n.size(); j = i, i += 2)
            if ((n[i + 1] > y) != (n[j + 1] > y) &&
                x < (n[j] - n[i]) * (y - n[i + 1]) / (n[j + 1] - n[i + 1]) + n[i])
                inside = !inside;
        return inside;
    }
};

struct Stroke {
    const Colour* fill = nullptr; // null: the edge alone
    const Colour* edge = nullptr; // null: no edge
    Shape shape;
};

struct Drawing {
    int width = 0, height = 0;
    std::map<char, Colour> legend;
    Colour background;
    std::vector<Stroke> strokes;
};

Shape ReadShape(std::istringstream& words, const std::string& path, int line)
{
    Shape shape;
    words >> shape.kind;
    for (double number; words >> number;)
        shape.numbers.push_back(number);
    const std::size_t n = shape.numbers.size();
    const bool fits = (shape.kind == "rect" || shape.kind == "ellipse") ? n == 4
                      : shape.kind == "polygon"                        ? n >= 6 && n % 2 == 0
                                                                       : false;
    if (!fits)
        Fail(path, line, "expected rect or ellipse and 4 numbers, or polygon and 3 or more points");
    return shape;
}

const Colour* LegendColour(const Drawing& drawing, std::istringstream& words, const std::string& path, int line)
{
    std::string symbol;
    words >> symbol;
    const auto found = symbol.size() == 1 ? drawing.legend.find(symbol[0]) : drawing.legend.end();
    if (found == drawing.legend.end())
        Fail(path, line, "\"" + symbol + "\" is not a character of the colour legend");
    return &found->second;
}

Drawing ReadDrawing(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        Fail(path, 0, "cannot open");
    Drawing drawing;
    int lineNumber = 0;
    for (std::string text; std::getline(file, text);) {
        ++lineNumber;
        std::istringstream words(text);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#')
            continue;
        if (keyword == "drawing") {
            drawing.width = ReadNumber(words, 1, 255, path, lineNumber, "a width");
            drawing.height = ReadNumber(words, 1, 255, path, lineNumber, "a height");
        } else if (keyword == "colour") {
            std::string symbol;
            if (!(words >> symbol) || symbol.size() != 1 || drawing.legend.contains(symbol[0]))
                Fail(path, lineNumber, "expected one character, new to the legend, after \"colour\"");
            drawing.legend[symbol[0]] = ReadColour(words, path, lineNumber);
            if (drawing.legend.size() == 1)
                drawing.background = drawing.legend[symbol[0]];
        } else if (keyword == "fill" || keyword == "outlined" || keyword == "edge") {
            Stroke stroke;
            if (keyword != "edge")
                stroke.fill = LegendColour(drawing, words, path, lineNumber);
            if (keyword != "fill")
                stroke.edge = LegendColour(drawing, words, path, lineNumber);
            stroke.shape = ReadShape(words, path, lineNumber);
            drawing.strokes.push_back(std::move(stroke));
        } else {
            Fail(path, lineNumber, "unknown keyword \"" + keyword + "\"");
        }
    }
    if (drawing.width == 0 || drawing.legend.empty())
        Fail(path, lineNumber, "expected \"drawing WIDTH HEIGHT\" and at least one colour");
    return drawing;
}

Pixmap Render(const Drawing& drawing, int size)
{
    Pixmap map;
    map.width = map.height = size;
    map.pixels.assign(static_cast<std::size_t>(size * size), drawing.background);
    const double unitX = static_cast<double>(drawing.width) / size, unitY = static_cast<double>(drawing.height) / size;
    const int edgeWidth = std::max(1, size / std::max(drawing.width, drawing.height));
    for (const Stroke& stroke : drawing.strokes) {
        std::vector<char> inside(map.pixels.size());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                inside[static_cast<std::size_t>(y * size + x)] =
                    stroke.shape.Contains((x + 0.5) * unitX, (y + 0.5) * unitY);
        const auto in = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < size && y < size && inside[static_cast<std::size_t>(y * size + x)];
        };
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (!in(x, y))
                    continue;
                bool onEdge = false;
                for (int dy = -edgeWidth; dy <= edgeWidth && !onEdge; ++dy)
                    for (int dx = -edgeWidth; dx <= edgeWidth && !onEdge; ++dx)
                        onEdge = !in(x + dx, y + dy);
                const Colour* colour = onEdge && stroke.edge ? stroke.edge : stroke.fill;
                if (colour)
                    map.pixels[static_cast<std::size_t>(y * size + x)] = *colour;
            }
    }
    return map;
}

// A map, or DRAWING@SIZE drawn at that size.
Pixmap ReadPicture(const std::string& argument)
{
    const std::size_t at = argument.rfind('@');
    if (at == std::string::npos)
        return ReadPixmap(argument);
    const std::string path = argument.substr(0, at);
    int size = 0;
    std::istringstream number(argument.substr(at + 1));
    if (!(number >> size) || size < 1 || size > 255)
        Fail(path, 0, "expected a size from 1 to 255 after '@'");
    return Render(ReadDrawing(path), size);
}

class Bytes {
public:
    void Put8(unsigned value) { data_.push_back(static_cast<std::uint8_t>(value)); }
    void Put16(unsigned value)
    {
        Put8(value & 0xFF);
        Put8(value >> 8);
    }
    void Put32(std::uint32_t value)
    {
        Put16(value & 0xFFFF);
        Put16(value >> 16);
    }
    void PutColour(const Colour& colour) // blue, green, red: the order of Windows bitmaps
    {
        Put8(colour.blue);
        Put8(colour.green);
        Put8(colour.red);
    }
    void PadTo4(std::size_t rowStart)
    {
        while ((data_.size() - rowStart) % 4 != 0)
            Put8(0);
    }
    std::size_t Size() const { return data_.size(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    void Append(const Bytes& other) { data_.insert(data_.end(), other.data_.begin(), other.data_.end()); }

private:
    std::vector<std::uint8_t> data_;
};

// BITMAPINFOHEADER; an icon image states twice its height (colour rows, then mask rows).
void PutInfoHeader(Bytes& out, int width, int storedHeight, int bitsPerPixel, std::uint32_t imageSize)
{
    out.Put32(40);
    out.Put32(static_cast<std::uint32_t>(width));
    out.Put32(static_cast<std::uint32_t>(storedHeight));
    out.Put16(1);
    out.Put16(static_cast<unsigned>(bitsPerPixel));
    out.Put32(0); // uncompressed
    out.Put32(imageSize);
    out.Put32(2835); // 72 dots per inch, both ways
    out.Put32(2835);
    out.Put32(0);
    out.Put32(0);
}

// Up to 16 colours: a palette of those the pictures use, 4 bits a pixel; else 24 bits.
Bytes MakeBitmap(const std::vector<Pixmap>& pictures, const std::vector<std::string>& paths, bool sixteenColours)
{
    const int height = pictures.front().height;
    int width = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i].height != height)
            Fail(paths[i], 0, "all pictures of a strip must be " + std::to_string(height) + " high");
        for (const Colour& colour : pictures[i].pixels)
            if (colour.transparent)
                Fail(paths[i], 0, "a bitmap has no transparency: draw the background colour instead");
        width += pictures[i].width;
    }
    std::vector<Colour> palette;
    const auto index = [&](const Colour& colour) {
        const auto found = std::find(palette.begin(), palette.end(), colour);
        if (found != palette.end())
            return static_cast<unsigned>(found - palette.begin());
        if (palette.size() == 16)
            Fail(paths.front(), 0, "more than 16 colours in a 16-colour strip");
        palette.push_back(colour);
        return static_cast<unsigned>(palette.size() - 1);
    };
    Bytes rows; // bottom row first, blue-green-red
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = rows.Size();
        std::vector<unsigned> indexes;
        for (const Pixmap& picture : pictures)
            for (int x = 0; x < picture.width; ++x) {
                if (sixteenColours)
                    indexes.push_back(index(picture.At(x, y)));
                else
                    rows.PutColour(picture.At(x, y));
            }
        for (std::size_t x = 0; x < indexes.size(); x += 2)
            rows.Put8(indexes[x] << 4 | (x + 1 < indexes.size() ? indexes[x + 1] : 0));
        rows.PadTo4(rowStart);
    }
    palette.resize(sixteenColours ? 16 : 0);
    const auto headers = static_cast<std::uint32_t>(14 + 40 + 4 * palette.size());
    Bytes file;
    file.Put8('B');
    file.Put8('M');
    file.Put32(static_cast<std::uint32_t>(headers + rows.Size()));
    file.Put32(0);
    file.Put32(headers);
    PutInfoHeader(file, width, height, sixteenColours ? 4 : 24, static_cast<std::uint32_t>(rows.Size()));
    for (const Colour& colour : palette) {
        file.PutColour(colour);
        file.Put8(0);
    }
    file.Append(rows);
    return file;
}

// The 16 colours every display shows alike; an icon's pixels must use them exactly.
constexpr std::array<Colour, 16> kStandardColours{{
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128},
    {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255},
    {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};

unsigned StandardIndex(const Colour& colour, const std::string& path)
{
    if (colour.transparent)
        return 0; // black under a set mask bit: the desktop shows through unchanged
    for (unsigned i = 0; i < kStandardColours.size(); ++i)
        if (kStandardColours[i] == colour)
            return i;
    Fail(path, 0, "colour " + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
                      std::to_string(colour.blue) + " is not one of the 16 standard colours");
}

Bytes MakeIconImage(const Pixmap& picture, const std::string& path)
{
    Bytes colourRows, maskRows; // both bottom row first
    for (int y = picture.height - 1; y >= 0; --y) {
        std::size_t rowStart = colourRows.Size();
        for (int x = 0; x < picture.width; x += 2) {
            const unsigned left = StandardIndex(picture.At(x, y), path);
            const unsigned right = x + 1 < picture.width ? StandardIndex(picture.At(x + 1, y), path) : 0;
            colourRows.Put8(left << 4 | right);
        }
        colourRows.PadTo4(rowStart);
        rowStart = maskRows.Size();
        for (int x = 0; x < picture.width; x += 8) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8 && x + bit < picture.width; ++bit)
                if (picture.At(x + bit, y).transparent)
                    bits |= 0x80u >> bit;
            maskRows.Put8(bits);
        }
        maskRows.PadTo4(rowStart);
    }
    Bytes image;
    PutInfoHeader(image, picture.width, picture.height * 2, 4,
                  static_cast<std::uint32_t>(colourRows.Size() + maskRows.Size()));
    for (const Colour& colour : kStandardColours)
    {
        image.PutColour(colour);
        image.Put8(0);
    }
    image.Append(colourRows);
    image.Append(maskRows);
    return image;
}

Bytes MakeIcon(const std::vector<Pixmap>& pictures, const std::vector<std::string>& paths)
{
    std::vector<Bytes> images;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        images.push_back(MakeIconImage(pictures[i], paths[i]));
    Bytes file;
    file.Put16(0);
    file.Put16(1); // an icon, not a cursor
    file.Put16(static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.Put8(static_cast<unsigned>(pictures[i].width));
        file.Put8(static_cast<unsigned>(pictures[i].height));
        file.Put8(16); // colours
        file.Put8(0);
        file.Put16(1); // planes
        file.Put16(4); // bits per pixel
        file.Put32(static_cast<std::uint32_t>(images[i].Size()));
        file.Put32(offset);
        offset += static_cast<std::uint32_t>(images[i].Size());
    }
    for (const Bytes& image : images)
        file.Append(image);
    return file;
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.Data().data()), static_cast<std::streamsize>(bytes.Size()));
    file.close();
    if (!file) {
        std::remove(path.c_str());
        throw InputError(path + ": cannot write");
    }
}

int Usage()
{
    std::cerr << "usage: pixmap_convert bitmap|bitmap16 OUT.bmp MAP...\n"
                 "       pixmap_convert icon OUT.ico MAP...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    const std::string kind = argv[1];
    const std::string output = argv[2];
    const std::vector<std::string> paths(argv + 3, argv + argc);
    try {
        std::vector<Pixmap> pictures;
        for (const std::string& path : paths)
            pictures.push_back(ReadPicture(path));
        if (kind == "bitmap" || kind == "bitmap16")
            WriteFile(output, MakeBitmap(pictures, paths, kind == "bitmap16"));
        else if (kind == "icon")
            WriteFile(output, MakeIcon(pictures, paths));
        else
            return Usage();
    } catch (const InputError& error) {
        std::cerr << "pixmap_convert: error: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
