#include "controls/ControlStreams.h"

#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/ControlGeometry.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/PanTiltPad.h"
#include "controls/SpeedButton.h"

#include <QBuffer>
#include <deque>
#include <map>
#include <optional>
#include <stdexcept>

namespace {

// ---- descriptor builders -------------------------------------------------------------------

template <class C>
const C &as(const QWidget &w)
{
    return static_cast<const C &>(w);
}

template <class C>
C &as(QWidget &w)
{
    return static_cast<C &>(w);
}

TControlProps &props(QWidget &w)
{
    return dynamic_cast<TControlProps &>(w);
}

const TControlProps &props(const QWidget &w)
{
    return dynamic_cast<const TControlProps &>(w);
}

template <class C>
PropertyDescriptor intProp(const char *name, std::optional<qint64> def, std::function<qint64(const C &)> get,
                           std::function<void(C &, qint64)> set)
{
    return {name, [=](const QWidget &w) { return !def || get(as<C>(w)) != *def; },
            [=](ComponentWriter &wr, const QWidget &w) { wr.writeInteger(get(as<C>(w))); },
            [=](ComponentReader &r, QWidget &w) { set(as<C>(w), r.readInteger()); }};
}

template <class C>
PropertyDescriptor boolProp(const char *name, std::optional<bool> def, std::function<bool(const C &)> get,
                            std::function<void(C &, bool)> set)
{
    return {name, [=](const QWidget &w) { return !def || get(as<C>(w)) != *def; },
            [=](ComponentWriter &wr, const QWidget &w) { wr.writeBool(get(as<C>(w))); },
            [=](ComponentReader &r, QWidget &w) { set(as<C>(w), r.readBool()); }};
}

template <class C>
PropertyDescriptor colorProp(const char *name, std::optional<TColor> def, std::function<TColor(const C &)> get,
                             std::function<void(C &, TColor)> set)
{
    return {name, [=](const QWidget &w) { return !def || get(as<C>(w)) != *def; },
            [=](ComponentWriter &wr, const QWidget &w) { wr.writeColor(get(as<C>(w))); },
            [=](ComponentReader &r, QWidget &w) { set(as<C>(w), r.readColor()); }};
}

// Strings have the empty string as their default.
template <class C>
PropertyDescriptor stringProp(const char *name, std::function<QByteArray(const C &)> get,
                              std::function<void(C &, const QByteArray &)> set)
{
    return {name, [=](const QWidget &w) { return !get(as<C>(w)).isEmpty(); },
            [=](ComponentWriter &wr, const QWidget &w) { wr.writeString(get(as<C>(w))); },
            [=](ComponentReader &r, QWidget &w) { set(as<C>(w), r.readString()); }};
}

// An enumeration written as the identifier of its ordinal.
template <class C>
PropertyDescriptor enumProp(const char *name, std::vector<const char *> idents, int def,
                            std::function<int(const C &)> get, std::function<void(C &, int)> set)
{
    return {name, [=](const QWidget &w) { return get(as<C>(w)) != def; },
            [=](ComponentWriter &wr, const QWidget &w) {
                const int v = get(as<C>(w));
                if (v >= 0 && v < int(idents.size()))
                    wr.writeIdent(idents[v]);
                else
                    wr.writeInteger(v);
            },
            [=](ComponentReader &r, QWidget &w) {
                const QByteArray id = r.readIdent();
                for (int i = 0; i < int(idents.size()); ++i)
                    if (id.compare(idents[i], Qt::CaseInsensitive) == 0) {
                        set(as<C>(w), i);
                        return;
                    }
                throw StreamReadError("Invalid property value: " + id.toStdString());
            }};
}

template <class C>
PropertyDescriptor cursorProp(const char *name, int def, std::function<int(const C &)> get,
                              std::function<void(C &, int)> set)
{
    return {name, [=](const QWidget &w) { return get(as<C>(w)) != def; },
            [=](ComponentWriter &wr, const QWidget &w) { wr.writeCursor(get(as<C>(w))); },
            [=](ComponentReader &r, QWidget &w) { set(as<C>(w), r.readCursor()); }};
}

void setVisibleFlag(QWidget &w, bool v)
{
    if (!v)
        w.hide();
    else if (w.parentWidget())
        w.show();
    else
        w.setAttribute(Qt::WA_WState_ExplicitShowHide, false);
}

// ---- shared property groups ----------------------------------------------------------------

void addPrefix(std::vector<PropertyDescriptor> &v)
{
    v.push_back(intProp<QWidget>("Tag", 0, [](const QWidget &w) { return props(w).Tag(); },
                                 [](QWidget &w, qint64 x) { props(w).SetTag(int(x)); }));
    v.push_back(intProp<QWidget>("Left", std::nullopt, [](const QWidget &w) { return w.x(); },
                                 [](QWidget &w, qint64 x) { w.move(int(x), w.y()); }));
    v.push_back(intProp<QWidget>("Top", std::nullopt, [](const QWidget &w) { return w.y(); },
                                 [](QWidget &w, qint64 x) { w.move(w.x(), int(x)); }));
    v.push_back(intProp<QWidget>("Width", std::nullopt, [](const QWidget &w) { return w.width(); },
                                 [](QWidget &w, qint64 x) { w.resize(std::max(0, int(x)), w.height()); }));
    v.push_back(intProp<QWidget>("Height", std::nullopt, [](const QWidget &w) { return w.height(); },
                                 [](QWidget &w, qint64 x) { w.resize(w.width(), std::max(0, int(x))); }));
    v.push_back(cursorProp<QWidget>("Cursor", crDefault, [](const QWidget &w) { return props(w).CursorId(); },
                                    [](QWidget &w, int c) { setControlCursor(&w, c); }));
    v.push_back(stringProp<QWidget>("Hint", [](const QWidget &w) { return props(w).HintText(); },
                                    [](QWidget &w, const QByteArray &s) { props(w).SetHintText(s); }));
}

PropertyDescriptor enabledProp()
{
    return boolProp<QWidget>("Enabled", true, [](const QWidget &w) { return controlEnabled(&w); },
                             [](QWidget &w, bool b) { w.setEnabled(b); });
}

PropertyDescriptor visibleProp()
{
    return boolProp<QWidget>("Visible", true, [](const QWidget &w) { return controlVisible(&w); },
                             setVisibleFlag);
}

PropertyDescriptor showHintProp()
{
    return boolProp<QWidget>("ShowHint", false, [](const QWidget &w) { return props(w).ShowHint(); },
                             [](QWidget &w, bool b) { props(w).SetShowHint(b); });
}

PropertyDescriptor parentShowHintProp()
{
    return boolProp<QWidget>("ParentShowHint", true, [](const QWidget &w) { return props(w).ParentShowHint(); },
                             [](QWidget &w, bool b) { props(w).SetParentShowHint(b); });
}

// ---- per-class lists -----------------------------------------------------------------------

template <class C>
ClassDescriptor sliderDescriptor(const char *className)
{
    ClassDescriptor d{className, [](QWidget *p) { return new C(p); }, {}};
    auto &v = d.properties;
    addPrefix(v);
    v.push_back(enabledProp());
    v.push_back(intProp<TSliderBase>("Min", 0, [](const TSliderBase &s) { return s.Min(); },
                                     [](TSliderBase &s, qint64 x) { s.SetMin(int(x)); }));
    v.push_back(intProp<TSliderBase>("Max", 255, [](const TSliderBase &s) { return s.Max(); },
                                     [](TSliderBase &s, qint64 x) { s.SetMax(int(x)); }));
    v.push_back(intProp<TSliderBase>("Add", 0, [](const TSliderBase &s) { return s.Add(); },
                                     [](TSliderBase &s, qint64 x) { s.SetAdd(int(x)); }));
    v.push_back(intProp<TSliderBase>("Position", 0, [](const TSliderBase &s) { return s.Position(); },
                                     [](TSliderBase &s, qint64 x) { s.SetPosition(int(x)); }));
    v.push_back(intProp<TSliderBase>("FinePosition", 0, [](const TSliderBase &s) { return s.FinePosition(); },
                                     [](TSliderBase &s, qint64 x) { s.SetFinePosition(int(x)); }));
    v.push_back(colorProp<TSliderBase>("Color", clBlack, [](const TSliderBase &s) { return s.Color(); },
                                       [](TSliderBase &s, TColor c) { s.SetColor(c); }));
    v.push_back(boolProp<TSliderBase>("Inverted", false, [](const TSliderBase &s) { return s.Inverted(); },
                                      [](TSliderBase &s, bool b) { s.SetInverted(b); }));
    v.push_back(boolProp<TSliderBase>("M16bit", false, [](const TSliderBase &s) { return s.M16bit(); },
                                      [](TSliderBase &s, bool b) { s.Set16bit(b); }));
    v.push_back(boolProp<QWidget>("ParentColor", true, [](const QWidget &w) { return props(w).ParentColor(); },
                                  [](QWidget &w, bool b) { props(w).SetParentColor(b); }));
    v.push_back(boolProp<QWidget>("ParentFont", true, [](const QWidget &w) { return props(w).ParentFont(); },
                                  [](QWidget &w, bool b) { props(w).SetParentFont(b); }));
    v.push_back(parentShowHintProp());
    v.push_back(showHintProp());
    v.push_back(visibleProp());
    return d;
}

ClassDescriptor knobDescriptor()
{
    ClassDescriptor d{"TKnobL", [](QWidget *p) { return new TKnobL(p); }, {}};
    auto &v = d.properties;
    addPrefix(v);
    v.push_back(colorProp<TKnobL>("Brush.Color", clWhite, [](const TKnobL &k) { return k.Brush().Color; },
                                  [](TKnobL &k, TColor c) { k.Brush().SetColor(c); }));
    v.push_back(enumProp<TKnobL>("Brush.Style",
                                 {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                  "bsCross", "bsDiagCross"},
                                 bsSolid, [](const TKnobL &k) { return k.Brush().Style; },
                                 [](TKnobL &k, int s) { k.Brush().SetStyle(s); }));
    v.push_back(cursorProp<QWidget>("DragCursor", crDrag, [](const QWidget &w) { return props(w).DragCursor(); },
                                    [](QWidget &w, int c) { props(w).SetDragCursor(c); }));
    v.push_back(enumProp<QWidget>("DragMode", {"dmManual", "dmAutomatic"}, dmManual,
                                  [](const QWidget &w) { return props(w).DragMode(); },
                                  [](QWidget &w, int m) { props(w).SetDragMode(m); }));
    v.push_back(enabledProp());
    v.push_back(parentShowHintProp());
    v.push_back(colorProp<TKnobL>("Pen.Color", clBlack, [](const TKnobL &k) { return k.Pen().Color; },
                                  [](TKnobL &k, TColor c) { k.Pen().SetColor(c); }));
    v.push_back(enumProp<TKnobL>("Pen.Mode",
                                 {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                                  "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                                  "pmNotMask", "pmXor", "pmNotXor"},
                                 pmCopy, [](const TKnobL &k) { return k.Pen().Mode; },
                                 [](TKnobL &k, int m) { k.Pen().SetMode(m); }));
    v.push_back(enumProp<TKnobL>("Pen.Style",
                                 {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                  "psInsideFrame"},
                                 psSolid, [](const TKnobL &k) { return k.Pen().Style; },
                                 [](TKnobL &k, int s) { k.Pen().SetStyle(s); }));
    v.push_back(intProp<TKnobL>("Pen.Width", 1, [](const TKnobL &k) { return k.Pen().Width; },
                                [](TKnobL &k, qint64 x) { k.Pen().SetWidth(int(std::clamp<qint64>(x, 0, 1000))); }));
    v.push_back(intProp<TKnobL>("Min", 0, [](const TKnobL &k) { return k.Min(); },
                                [](TKnobL &k, qint64 x) { k.SetMin(int(x)); }));
    v.push_back(intProp<TKnobL>("Max", 255, [](const TKnobL &k) { return k.Max(); },
                                [](TKnobL &k, qint64 x) { k.SetMax(int(x)); }));
    v.push_back(intProp<TKnobL>("Position", 0, [](const TKnobL &k) { return k.Position(); },
                                [](TKnobL &k, qint64 x) { k.SetPosition(int(x)); }));
    v.push_back(showHintProp());
    v.push_back(visibleProp());
    return d;
}

ClassDescriptor colourButtonDescriptor()
{
    ClassDescriptor d{"TCBTC", [](QWidget *p) { return new TCBTC(p); }, {}};
    auto &v = d.properties;
    addPrefix(v);
    v.push_back(enabledProp());
    v.push_back(parentShowHintProp());
    v.push_back(colorProp<TCBTC>("Color", std::nullopt, [](const TCBTC &b) { return b.Color(); },
                                 [](TCBTC &b, TColor c) { b.SetColor(c); }));
    v.push_back(boolProp<TCBTC>("Down", false, [](const TCBTC &b) { return b.Down(); },
                                [](TCBTC &b, bool x) { b.SetDown(x); }));
    v.push_back(showHintProp());
    v.push_back(visibleProp());
    return d;
}

ClassDescriptor mixerDescriptor()
{
    ClassDescriptor d{"TCMY", [](QWidget *p) { return new TCMY(p); }, {}};
    auto &v = d.properties;
    addPrefix(v);
    v.push_back(intProp<TCMY>("Cyan", 0, [](const TCMY &m) { return m.GetCyan(); },
                              [](TCMY &m, qint64 x) { m.SetCyan((unsigned char)x); }));
    v.push_back(intProp<TCMY>("Magenta", 0, [](const TCMY &m) { return m.GetMagenta(); },
                              [](TCMY &m, qint64 x) { m.SetMagenta((unsigned char)x); }));
    v.push_back(intProp<TCMY>("Yellow", 0, [](const TCMY &m) { return m.GetYellow(); },
                              [](TCMY &m, qint64 x) { m.SetYellow((unsigned char)x); }));
    v.push_back(boolProp<TCMY>("RGBset", false, [](const TCMY &m) { return m.RGBset(); },
                               [](TCMY &m, bool b) { m.SetRGB(b); }));
    v.push_back(showHintProp());
    v.push_back(visibleProp());
    return d;
}

ClassDescriptor padDescriptor()
{
    ClassDescriptor d{"TFieldXY", [](QWidget *p) { return new TFieldXY(p); }, {}};
    auto &v = d.properties;
    addPrefix(v);
    v.push_back(boolProp<TFieldXY>("TwoSize", false, [](const TFieldXY &f) { return f.TwoSize(); },
                                   [](TFieldXY &f, bool b) { f.SetTwoSize(b); }));
    v.push_back(boolProp<TFieldXY>("M16bit", false, [](const TFieldXY &f) { return f.M16bit(); },
                                   [](TFieldXY &f, bool b) { f.Set16bit(b); }));
    // The positions come before "Inverted", so a reader stores them unmirrored. They are
    // written as stored (mirrored on an inverted pad), so that reading what was written
    // gives the same pad; written as seen, each save and load would mirror them again.
    auto stored = [](const TFieldXY &f, int seen) { return qint64(f.Inverted() ? 255 - seen : seen); };
    v.push_back(intProp<TFieldXY>("PositionX", 0, [stored](const TFieldXY &f) { return stored(f, f.GetX()); },
                                  [](TFieldXY &f, qint64 x) { f.SetX(clampToInt(x)); }));
    v.push_back(intProp<TFieldXY>("PositionY", 0, [stored](const TFieldXY &f) { return stored(f, f.GetY()); },
                                  [](TFieldXY &f, qint64 x) { f.SetY(clampToInt(x)); }));
    v.push_back(intProp<TFieldXY>("FineX", 0, [stored](const TFieldXY &f) { return stored(f, f.GetFineX()); },
                                  [](TFieldXY &f, qint64 x) { f.SetFineX(clampToInt(x)); }));
    v.push_back(intProp<TFieldXY>("FineY", 0, [stored](const TFieldXY &f) { return stored(f, f.GetFineY()); },
                                  [](TFieldXY &f, qint64 x) { f.SetFineY(clampToInt(x)); }));
    v.push_back(intProp<TFieldXY>("Delta", 256, [](const TFieldXY &f) { return f.Delta(); },
                                  [](TFieldXY &f, qint64 x) { f.SetDelta(clampToInt(x)); }));
    v.push_back(colorProp<TFieldXY>("Color", clBtnFace, [](const TFieldXY &f) { return f.Color(); },
                                    [](TFieldXY &f, TColor c) { f.SetColor(c); }));
    v.push_back(boolProp<TFieldXY>("Inverted", false, [](const TFieldXY &f) { return f.Inverted(); },
                                   [](TFieldXY &f, bool b) { f.SetInverted(b); }));
    v.push_back(showHintProp());
    v.push_back(visibleProp());
    return d;
}

} // namespace

// Font sub-properties, written only while the control has a font of its own.
void appendFontProperties(std::vector<PropertyDescriptor> &v, std::function<bool(const QWidget &)> ownFont,
                          std::function<TFontSettings(const QWidget &)> get,
                          std::function<void(QWidget &, const TFontSettings &)> set)
{
    static const std::vector<std::pair<int, const char *>> charsets = {
        {0, "ANSI_CHARSET"}, {1, "DEFAULT_CHARSET"}, {2, "SYMBOL_CHARSET"}, {77, "MAC_CHARSET"},
        {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"}, {130, "JOHAB_CHARSET"}, {134, "GB2312_CHARSET"},
        {136, "CHINESEBIG5_CHARSET"}, {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"},
        {163, "VIETNAMESE_CHARSET"}, {177, "HEBREW_CHARSET"}, {178, "ARABIC_CHARSET"}, {186, "BALTIC_CHARSET"},
        {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"}, {238, "EASTEUROPE_CHARSET"}, {255, "OEM_CHARSET"},
    };
    static const char *styles[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    auto change = [get, set](QWidget &w, const std::function<void(TFontSettings &)> &f) {
        TFontSettings font = get(w);
        f(font);
        set(w, font);
    };
    v.push_back({"Font.Charset", ownFont,
                 [get](ComponentWriter &wr, const QWidget &w) {
                     const int c = get(w).Charset;
                     for (const auto &cs : charsets)
                         if (cs.first == c) {
                             wr.writeIdent(cs.second);
                             return;
                         }
                     wr.writeInteger(c);
                 },
                 [change](ComponentReader &r, QWidget &w) {
                     int c = 1;
                     if (r.peekValueType() == ValueType::Ident) {
                         const QByteArray id = r.readIdent();
                         bool found = false;
                         for (const auto &cs : charsets)
                             if (id.compare(cs.second, Qt::CaseInsensitive) == 0) {
                                 c = cs.first;
                                 found = true;
                             }
                         if (!found)
                             throw StreamReadError("Invalid property value: " + id.toStdString());
                     } else {
                         c = int(r.readInteger() & 0xFF);
                     }
                     change(w, [c](TFontSettings &f) { f.Charset = c; });
                 }});
    v.push_back({"Font.Color", ownFont,
                 [get](ComponentWriter &wr, const QWidget &w) { wr.writeColor(get(w).Color); },
                 [change](ComponentReader &r, QWidget &w) {
                     const TColor c = r.readColor();
                     change(w, [c](TFontSettings &f) { f.Color = c; });
                 }});
    v.push_back({"Font.Height", ownFont,
                 [get](ComponentWriter &wr, const QWidget &w) { wr.writeInteger(get(w).Height); },
                 [change](ComponentReader &r, QWidget &w) {
                     const int h = clampToInt(r.readInteger());
                     change(w, [h](TFontSettings &f) { f.Height = h; });
                 }});
    v.push_back({"Font.Name", ownFont,
                 [get](ComponentWriter &wr, const QWidget &w) { wr.writeString(get(w).Name); },
                 [change](ComponentReader &r, QWidget &w) {
                     const QByteArray n = r.readString();
                     change(w, [n](TFontSettings &f) { f.Name = n; });
                 }});
    v.push_back({"Font.Style", [ownFont, get](const QWidget &w) { return ownFont(w) && get(w).Style != 0; },
                 [get](ComponentWriter &wr, const QWidget &w) {
                     QList<QByteArray> set;
                     const int s = get(w).Style;
                     for (int i = 0; i < 4; ++i)
                         if (s & (1 << i))
                             set.append(styles[i]);
                     wr.writeSet(set);
                 },
                 [change](ComponentReader &r, QWidget &w) {
                     int s = 0;
                     for (const QByteArray &id : r.readSet()) {
                         bool found = false;
                         for (int i = 0; i < 4; ++i)
                             if (id.compare(styles[i], Qt::CaseInsensitive) == 0) {
                                 s |= 1 << i;
                                 found = true;
                             }
                         if (!found)
                             throw StreamReadError("Invalid property value: " + id.toStdString());
                     }
                     change(w, [s](TFontSettings &f) { f.Style = s; });
                 }});
}

namespace {

void addFont(std::vector<PropertyDescriptor> &v)
{
    appendFontProperties(
        v, [](const QWidget &w) { return !props(w).ParentFont(); },
        [](const QWidget &w) { return as<TSpeedButton>(w).Font(); },
        [](QWidget &w, const TFontSettings &f) { as<TSpeedButton>(w).SetFont(f); });
}

// Dynamic properties holding a streamed glyph's bytes and the image they were decoded into.
constexpr const char *kGlyphData = "brtvGlyphData";
constexpr const char *kGlyphKey = "brtvGlyphKey";

void addSpeedButton(std::vector<PropertyDescriptor> &v)
{
    using B = TSpeedButton;
    addPrefix(v);
    v.push_back(boolProp<B>("AllowAllUp", false, [](const B &b) { return b.AllowAllUp(); },
                            [](B &b, bool x) { b.SetAllowAllUp(x); }));
    v.push_back(intProp<B>("GroupIndex", 0, [](const B &b) { return b.GroupIndex(); },
                           [](B &b, qint64 x) { b.SetGroupIndex(clampToInt(x)); }));
    v.push_back(boolProp<B>("Down", false, [](const B &b) { return b.Down(); }, [](B &b, bool x) { b.SetDown(x); }));
    v.push_back(stringProp<B>("Caption", [](const B &b) { return b.Caption(); },
                              [](B &b, const QByteArray &s) { b.SetCaption(s); }));
    v.push_back(enabledProp());
    v.push_back(boolProp<B>("Flat", false, [](const B &b) { return b.Flat(); }, [](B &b, bool x) { b.SetFlat(x); }));
    addFont(v);
    // The glyph as the bitmap's data: its byte count, then a bitmap file.
    v.push_back({"Glyph.Data", [](const QWidget &w) { return !as<B>(w).Glyph().isNull(); },
                 [](ComponentWriter &wr, const QWidget &w) {
                     // A glyph read from a stream goes back with its original bytes until it
                     // is replaced, so a loaded profile saves unchanged.
                     const QVariant key = w.property(kGlyphKey);
                     if (key.isValid() && key.toLongLong() == as<B>(w).Glyph().cacheKey()) {
                         wr.writeBinary(w.property(kGlyphData).toByteArray());
                         return;
                     }
                     QByteArray bmp;
                     QBuffer buf(&bmp);
                     buf.open(QIODevice::WriteOnly);
                     as<B>(w).Glyph().save(&buf, "BMP");
                     QByteArray data;
                     const quint32 n = quint32(bmp.size());
                     for (int i = 0; i < 4; ++i)
                         data.append(char(n >> (8 * i)));
                     wr.writeBinary(data + bmp);
                 },
                 [](ComponentReader &r, QWidget &w) {
                     const QByteArray data = r.readBinary();
                     if (data.size() < 4)
                         throw StreamReadError("Invalid glyph data");
                     quint32 n = 0;
                     for (int i = 0; i < 4; ++i)
                         n |= quint32(quint8(data[i])) << (8 * i);
                     if (n > quint32(data.size() - 4))
                         throw StreamReadError("Invalid glyph data");
                     QImage img;
                     if (n > 0 && !img.loadFromData(data.mid(4, n), "BMP"))
                         throw StreamReadError("Invalid glyph data");
                     as<B>(w).SetGlyph(img);
                     w.setProperty(kGlyphData, data);
                     w.setProperty(kGlyphKey, as<B>(w).Glyph().cacheKey());
                 }});
    v.push_back(enumProp<B>("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, blGlyphLeft,
                            [](const B &b) { return b.Layout(); }, [](B &b, int x) { b.SetLayout(x); }));
    v.push_back(intProp<B>("Margin", -1, [](const B &b) { return b.Margin(); },
                           [](B &b, qint64 x) { b.SetMargin(clampToInt(x)); }));
    v.push_back(intProp<B>("NumGlyphs", 1, [](const B &b) { return b.NumGlyphs(); },
                           [](B &b, qint64 x) { b.SetNumGlyphs(clampToInt(x)); }));
    v.push_back(boolProp<B>("ParentFont", true, [](const B &b) { return b.ParentFont(); },
                            [](B &b, bool x) { b.SetParentFontFlag(x); }));
    v.push_back(parentShowHintProp());
    v.push_back(showHintProp());
    v.push_back(intProp<B>("Spacing", 4, [](const B &b) { return b.Spacing(); },
                           [](B &b, qint64 x) { b.SetSpacing(clampToInt(x)); }));
    v.push_back(boolProp<B>("Transparent", true, [](const B &b) { return b.Transparent(); },
                            [](B &b, bool x) { b.SetTransparent(x); }));
    v.push_back(visibleProp());
}

ClassDescriptor speedButtonDescriptor()
{
    ClassDescriptor d{"TSpeedButton", [](QWidget *p) { return new TSpeedButton(p); }, {}};
    addSpeedButton(d.properties);
    return d;
}

ClassDescriptor multiButtonDescriptor()
{
    ClassDescriptor d{"TMultiButton", [](QWidget *p) { return new TMultiButton(p); }, {}};
    auto &v = d.properties;
    addSpeedButton(v);
    v.push_back(colorProp<TMultiButton>("Color", clBtnFace, [](const TMultiButton &b) { return b.Color(); },
                                        [](TMultiButton &b, TColor c) { b.SetColor(c); }));
    // The channel entries: always written, a list of 32 integers.
    v.push_back({"Channels", [](const QWidget &) { return true; },
                 [](ComponentWriter &wr, const QWidget &w) {
                     wr.beginList();
                     for (int i = 0; i < 32; ++i)
                         wr.writeInteger(as<TMultiButton>(w).GetChannels(i));
                     wr.endList();
                 },
                 [](ComponentReader &r, QWidget &w) {
                     auto &b = as<TMultiButton>(w);
                     for (int i = 0; i < 32; ++i)
                         b.SetChannels(i, -1);
                     r.beginList();
                     // Read to the list's end; entries beyond 32 are dropped, missing ones stay -1.
                     for (int i = 0; !r.endOfList(); ++i) {
                         const qint64 x = r.readInteger();
                         if (i < 32)
                             b.SetChannels(i, short(x));
                     }
                     r.readListEnd();
                 }});
    return d;
}

std::deque<ClassDescriptor> &registry()
{
    static std::deque<ClassDescriptor> r = {
        padDescriptor(),
        colourButtonDescriptor(),
        knobDescriptor(),
        sliderDescriptor<TSliderh>("TSliderh"),
        sliderDescriptor<TSlider>("TSlider"),
        speedButtonDescriptor(),
        mixerDescriptor(),
        multiButtonDescriptor(),
    };
    return r;
}

const PropertyDescriptor *findProperty(const ClassDescriptor &d, const QByteArray &name)
{
    for (const auto &p : d.properties)
        if (name.compare(p.name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

void readBody(ComponentReader &r, QWidget &control, const ClassDescriptor &d)
{
    while (!r.endOfList()) {
        const QByteArray prop = r.readPropName();
        if (const PropertyDescriptor *p = findProperty(d, prop))
            p->read(r, control);
        else
            r.skipValue();
    }
    r.readListEnd();
    // Children are not part of an element; they are read past.
    while (!r.endOfList()) {
        QByteArray cls, name;
        r.readComponentHeader(cls, name);
        r.skipComponentBody();
    }
    r.readListEnd();
}

} // namespace

const ClassDescriptor *findClassDescriptor(const QByteArray &className)
{
    for (const auto &d : registry())
        if (d.className == className)
            return &d;
    return nullptr;
}

QList<QByteArray> registeredClassNames()
{
    QList<QByteArray> out;
    for (const auto &d : registry())
        out.append(d.className);
    return out;
}

void registerClassDescriptor(ClassDescriptor descriptor)
{
    for (auto &d : registry())
        if (d.className == descriptor.className) {
            d = std::move(descriptor);
            return;
        }
    registry().push_back(std::move(descriptor));
}

void appendCommonPrefix(std::vector<PropertyDescriptor> &properties)
{
    addPrefix(properties);
}

namespace {
// A newly made control of the descriptor's class, as a reader makes it (with a parent),
// kept for the life of the process.
const QWidget &NewControlOf(const ClassDescriptor &d)
{
    static auto *holder = new QWidget;
    static auto *made = new std::map<QByteArray, QWidget *>;
    QWidget *&w = (*made)[d.className];
    if (!w)
        w = d.create(holder);
    return *w;
}
} // namespace

void writeComponent(ComponentWriter &w, const QWidget &control, const QByteArray &name)
{
    const QByteArray className = control.metaObject()->className();
    const ClassDescriptor *d = findClassDescriptor(className);
    if (!d)
        throw std::invalid_argument("No stream descriptor for class " + className.toStdString());
    // A value equal to the stream default is left out, and a reader then keeps the value
    // of its newly made control. Where a new control does not hold the stream default (a
    // fader's colour and hint flag, a knob's face, a pad's cursor), such a value is
    // written all the same, so that what is read back is what was written.
    const QWidget &fresh = NewControlOf(*d);
    w.beginComponent(className, name);
    for (const auto &p : d->properties)
        if (p.stored(control) || p.stored(fresh)) {
            w.writePropName(p.name);
            p.write(w, control);
        }
    w.writeEndOfList();
    w.writeEndOfList();
}

QByteArray componentStream(const QWidget &control, const QByteArray &name)
{
    ComponentWriter w;
    w.writeSignature();
    writeComponent(w, control, name);
    return w.data();
}

std::unique_ptr<QWidget> readComponent(ComponentReader &r, QWidget *parent, QByteArray *name)
{
    r.readSignature();
    QByteArray cls, compName;
    r.readComponentHeader(cls, compName);
    const ClassDescriptor *d = findClassDescriptor(cls);
    if (!d)
        throw StreamReadError("Class " + cls.toStdString() + " not found");
    std::unique_ptr<QWidget> control(d->create(parent));
    readBody(r, *control, *d);
    if (name)
        *name = compName;
    return control;
}

void readComponentInto(ComponentReader &r, QWidget &control, QByteArray *name)
{
    r.readSignature();
    QByteArray cls, compName;
    r.readComponentHeader(cls, compName);
    const ClassDescriptor *d = findClassDescriptor(cls);
    if (!d || cls != control.metaObject()->className())
        throw StreamReadError("Class " + cls.toStdString() + " does not match the control");
    readBody(r, control, *d);
    if (name)
        *name = compName;
}
