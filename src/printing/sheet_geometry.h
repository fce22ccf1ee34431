#pragma once

#include <QList>
#include <QLocale>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace culegere {

// The test sheet's geometry, in twips (567 to the centimetre) of an A4
// portrait page.
namespace sheet {
constexpr int PageWidth = 11907;   // 21 cm
constexpr int PageHeight = 16839;  // 29.7 cm
constexpr int HeaderTop = 283;     // 0.5 cm
constexpr int HeaderHeight = 1134; // 2 cm
constexpr int TwipsPerCm = 567;
constexpr int TwipsPerPixel = 15; // a picture's pixel on the screen
constexpr int MontageSpare = 100; // blank right of and below the stacked pictures
constexpr int MontageLimit = 32767;
// The size a problem without a picture takes before any picture was measured.
constexpr QSize BlankProblem{1095, 375};
// A problem's number: a box this wide and high in the left margin, this far
// left of the problems, its text 12 pt bold against the box's right edge.
constexpr int NumberWidth = 680;  // 1.2 cm
constexpr int NumberHeight = 400; // 0.7 cm
constexpr int NumberGap = 113;    // 0.2 cm
// A line of the answer key's table.
constexpr int KeyRowHeight = 567; // 1 cm
constexpr int KeyLineWidth = 20;  // 1 pt
// A PDF's dots per inch: one dot is one twip, so the page is the geometry's.
constexpr int PdfResolution = 1440;
// The finest a picture is drawn at on any sheet: finer shows on no paper.
constexpr int PictureDpi = 600;
} // namespace sheet

// The teacher's choices for the sheet besides its content. All off: the
// sheet exactly as it has always been.
struct SheetOptions
{
    bool numbered = false;  // "1." to "9." in the left margin beside each problem
    bool sameWidth = false; // every problem as wide as the block, in its own proportions
    bool answerKey = false; // a page for the teacher after the sheets
};

// Page margins in centimetres.
struct Margins
{
    float left = 2;
    float right = 2;
    float top = 1;
    float bottom = 1;
};

// Where the header strip and the block of problems stand on the page.
struct SheetGeometry
{
    QRect header;
    QRect problems;

    // Both have a width and a height: the margins leave room on the page.
    bool fitsThePage() const { return !header.isEmpty() && !problems.isEmpty(); }
};

// The header at (Int(L*567), 283), Int(11907-(L+R)*567) wide and 1134 high;
// the problems at (Int(L*567), Int(T*567+2.5*567)), as wide, and
// Int(29.7*567-(T+2.5+B)*567) high. Int rounds down.
SheetGeometry sheetGeometry(const Margins &margins);

// The problems stacked one under the other, left-aligned, in test order;
// the montage is the widest picture + 100 wide and their heights + 100 high.
// A montage beyond 32767 twips is scaled down, all of it alike.
struct MontageLayout
{
    QSize size;
    QList<QRect> pictures;
};
MontageLayout montageLayout(const QList<QSize> &pictureSizes);

// "Aceeasi latime": each picture as wide as `block`, as high as its own
// proportions say, stacked from the block's top in test order with no gap.
// A stack taller than the block is scaled down evenly to fit its height (the
// pictures then narrower, left-aligned); none is ever stretched. A picture
// without a size (0 wide) takes no room.
QList<QRectF> sameWidthLayout(const QList<QSize> &pictureSizes, const QRectF &block);

// The box a problem's number is written in: in the left margin, its right
// edge NumberGap left of `blockLeft`, its top at `problemTop`; positions in
// units of which `unitsPerTwip` make a twip.
QRectF numberBox(double problemTop, double blockLeft, double unitsPerTwip);

// The margin a scroll bar value 0..40 stands for: 4 - value / 10 cm, as a
// plain number with the locale's decimal separator ("2", "1,5", "0").
QString marginText(int value, const QLocale &locale);

// A margin typed or shown in centimetres: a number not below 0, written with
// the locale's decimal separator (or a point).
std::optional<float> parseMargin(const QString &text, const QLocale &locale);

// The number of copies typed: rounded to a whole number (a half to the even
// one). Zero is told apart from a text that is no count of copies at all.
struct Copies
{
    enum Status { Count, Zero, Invalid } status = Invalid;
    int count = 0;
};
Copies parseCopies(const QString &text, const QLocale &locale);
constexpr int MaxCopies = 999;

// A name for a sheet file in the folder "teste": no folder part, no "..",
// nothing a file system (of this machine or a memory stick) refuses.
bool isAcceptableSheetName(const QString &name);

} // namespace culegere
