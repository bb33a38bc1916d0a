#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/ControlStreams.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/PanTiltPad.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

QByteArray shortStr(const char *s)
{
    return QByteArray(1, char(qstrlen(s))) + QByteArray(s);
}

std::unique_ptr<QWidget> readBack(const QByteArray &stream)
{
    ComponentReader r(stream);
    auto w = readComponent(r);
    EXPECT_EQ(r.pos(), stream.size());
    return w;
}

template <class C>
C *as(const std::unique_ptr<QWidget> &w)
{
    C *c = qobject_cast<C *>(w.get());
    EXPECT_NE(c, nullptr);
    return c;
}

} // namespace

TEST(ComponentStream, IntegersTakeTheSmallestSize)
{
    ComponentWriter w;
    w.writeInteger(127);
    w.writeInteger(-128);
    w.writeInteger(128);
    w.writeInteger(-32769);
    w.writeInteger(qint64(1) << 40);
    EXPECT_EQ(w.data(), bytes({2, 0x7F, 2, 0x80, 3, 0x80, 0, 4, 0xFF, 0x7F, 0xFF, 0xFF, 19, 0, 0, 0, 0, 0, 1, 0, 0}));
    ComponentReader r(w.data());
    EXPECT_EQ(r.readInteger(), 127);
    EXPECT_EQ(r.readInteger(), -128);
    EXPECT_EQ(r.readInteger(), 128);
    EXPECT_EQ(r.readInteger(), -32769);
    EXPECT_EQ(r.readInteger(), qint64(1) << 40);
    EXPECT_TRUE(r.atEnd());
}

TEST(ComponentStream, StringsSetsAndColours)
{
    ComponentWriter w;
    const QByteArray longText(300, 'x');
    w.writeString("abc");
    w.writeString(longText);
    w.writeSet({"fsBold", "fsItalic"});
    w.writeColor(clBtnFace);
    w.writeColor(0x123456);
    w.writeCursor(crCross);
    w.writeBool(true);
    ComponentReader r(w.data());
    EXPECT_EQ(r.readString(), QByteArray("abc"));
    EXPECT_EQ(r.peekValueType(), ValueType::LString);
    EXPECT_EQ(r.readString(), longText);
    EXPECT_EQ(r.readSet(), (QList<QByteArray>{"fsBold", "fsItalic"}));
    EXPECT_EQ(r.peekValueType(), ValueType::Ident);
    EXPECT_EQ(r.readColor(), clBtnFace);
    EXPECT_EQ(r.readColor(), TColor(0x123456));
    EXPECT_EQ(r.readCursor(), crCross);
    EXPECT_TRUE(r.readBool());
    EXPECT_THROW(r.readBool(), StreamReadError);
}

TEST(ComponentStream, GoldenDefaultSliderh)
{
    TSliderh f;
    const QByteArray expected = QByteArray("TPF0") + shortStr("TSliderh") + bytes({0}) + shortStr("Left")
                                + bytes({2, 0}) + shortStr("Top") + bytes({2, 0}) + shortStr("Width")
                                + bytes({3, 0x98, 0}) + shortStr("Height") + bytes({2, 40}) + shortStr("Color")
                                + bytes({7}) + shortStr("clBtnFace") + shortStr("ShowHint") + bytes({9, 0, 0});
    EXPECT_EQ(componentStream(f).toHex(' '), expected.toHex(' '));
}

TEST(ComponentStream, GoldenMultiButtonChannels)
{
    TMultiButton b;
    b.SetChannels(0, 5);
    b.SetChannels(1, 300);
    QByteArray channels = shortStr("Channels") + bytes({1, 2, 5, 3, 0x2C, 0x01});
    for (int i = 2; i < 32; ++i)
        channels += bytes({2, 0xFF});
    channels += bytes({0});
    const QByteArray expected = QByteArray("TPF0") + shortStr("TMultiButton") + bytes({0}) + shortStr("Left")
                                + bytes({2, 0}) + shortStr("Top") + bytes({2, 0}) + shortStr("Width")
                                + bytes({2, 23}) + shortStr("Height") + bytes({2, 22}) + channels + bytes({0, 0});
    EXPECT_EQ(componentStream(b).toHex(' '), expected.toHex(' '));
}

TEST(ComponentStream, EveryElementClassRoundTrips)
{
    std::vector<std::unique_ptr<QWidget>> controls;
    {
        auto f = std::make_unique<TSliderh>();
        f->SetMin(-10);
        f->SetMax(1000);
        f->SetPosition(500);
        f->SetAdd(1);
        f->SetColor(clRed);
        f->Set16bit(true);
        f->SetInverted(true);
        f->SetTag(0x0201);
        f->setGeometry(5, 300, 200, 30);
        f->SetHintText("Dimmer");
        controls.push_back(std::move(f));
    }
    {
        auto f = std::make_unique<TSlider>();
        f->SetColor(0x00ABCDEF);
        f->setEnabled(false);
        f->hide();
        controls.push_back(std::move(f));
    }
    {
        auto k = std::make_unique<TKnobL>();
        k->SetParams(20, 10, 40);
        k->Pen().SetWidth(2);
        k->Pen().SetColor(clNavy);
        k->Pen().SetStyle(psDot);
        k->Brush().SetColor(clYellow);
        setControlCursor(k.get(), crHandPoint);
        controls.push_back(std::move(k));
    }
    {
        auto c = std::make_unique<TCBTC>();
        c->SetColor(clLime);
        c->SetTag(7);
        controls.push_back(std::move(c));
    }
    {
        auto m = std::make_unique<TMultiButton>();
        m->SetColor(clTeal);
        m->SetCaption("Go");
        m->SetFlat(true);
        m->SetGroupIndex(3);
        m->SetDown(true);
        m->SetLayout(blGlyphTop);
        TFontSettings font;
        font.Height = -13;
        font.Name = "Arial";
        font.Style = fsBold | fsUnderline;
        font.Color = clRed;
        m->SetFont(font);
        QImage glyph(8, 8, QImage::Format_RGB32);
        glyph.fill(Qt::red);
        m->SetGlyph(glyph);
        m->SetChannels(31, -1);
        m->SetChannels(4, 255);
        controls.push_back(std::move(m));
    }
    {
        auto c = std::make_unique<TCMY>();
        c->SetCyan(10);
        c->SetMagenta(200);
        c->SetYellow(255);
        c->SetRGB(true);
        controls.push_back(std::move(c));
    }
    {
        auto p = std::make_unique<TFieldXY>();
        p->SetTwoSize(true);
        p->Set16bit(true);
        p->SetX(12);
        p->SetY(250);
        p->SetFineX(3);
        p->SetFineY(128);
        p->SetDelta(16);
        p->SetColor(clFuchsia);
        controls.push_back(std::move(p));
    }
    for (const auto &c : controls) {
        const QByteArray first = componentStream(*c);
        auto back = readBack(first);
        ASSERT_TRUE(back);
        EXPECT_STREQ(back->metaObject()->className(), c->metaObject()->className());
        EXPECT_EQ(componentStream(*back).toHex(' '), first.toHex(' ')) << c->metaObject()->className();
    }
    auto pad = readBack(componentStream(*controls.back()));
    EXPECT_EQ(as<TFieldXY>(pad)->size(), QSize(138, 150));
    EXPECT_EQ(as<TFieldXY>(pad)->GetFineY(), 128);
    auto fader = readBack(componentStream(*controls.front()));
    EXPECT_EQ(as<TSliderh>(fader)->Position(), 500);
    EXPECT_EQ(as<TSliderh>(fader)->Tag(), 0x0201);
    EXPECT_EQ(fader->geometry(), QRect(5, 300, 200, 30));
}

TEST(ComponentStream, StreamQuirksOfTheSetters)
{
    // Colours equal to a stream default that a new control does not have are written.
    TSliderh black;
    black.SetColor(clBlack);
    EXPECT_EQ(as<TSliderh>(readBack(componentStream(black)))->Color(), clBlack);
    TKnobL white;
    white.Brush().SetColor(clWhite);
    EXPECT_EQ(as<TKnobL>(readBack(componentStream(white)))->Brush().Color, clWhite);
    TSliderh noHint;
    noHint.SetShowHint(false);
    EXPECT_FALSE(as<TSliderh>(readBack(componentStream(noHint)))->ShowHint());
    TFieldXY arrow;
    setControlCursor(&arrow, crDefault);
    EXPECT_EQ(as<TFieldXY>(readBack(componentStream(arrow)))->CursorId(), crDefault);

    TSliderh fine;
    fine.Set16bit(true);
    fine.SetFinePosition(100);
    const QByteArray s = componentStream(fine);
    EXPECT_TRUE(s.contains("FinePosition"));
    EXPECT_EQ(as<TSliderh>(readBack(s))->FinePosition(), 0);

    TFieldXY pad;
    pad.SetInverted(true);
    pad.SetX(10);
    pad.SetY(20);
    pad.SetFineX(30);
    pad.SetFineY(40);
    // An inverted pad is written as stored, so it reads back as it was and stays so over
    // any number of saves.
    auto back = readBack(componentStream(pad));
    auto *p = as<TFieldXY>(back);
    EXPECT_EQ(p->GetX(), 10);
    EXPECT_EQ(p->GetY(), 20);
    EXPECT_EQ(p->GetFineX(), 30);
    EXPECT_EQ(p->GetFineY(), 40);
    EXPECT_EQ(p->CursorId(), crCross);
    EXPECT_EQ(componentStream(*as<TFieldXY>(readBack(componentStream(*p)))), componentStream(pad));

}

TEST(ComponentStream, UnknownPropertiesEventsAndChildrenAreSkipped)
{
    ComponentWriter w;
    w.writeSignature();
    w.beginComponent("TKnobL", "Knob1");
    w.writePropName("Position");
    w.writeInteger(33);
    w.writePropName("OnChange");
    w.writeIdent("Knob1Change");
    w.writePropName("Something.Unknown");
    w.beginList();
    w.writeString("x");
    w.writeInteger(70000);
    w.beginList();
    w.writeBool(false);
    w.endList();
    w.endList();
    w.writePropName("Blob");
    w.writeBinary(QByteArray(10, 'b'));
    w.writePropName("Pen.Width");
    w.writeInteger(qint64(3)); // any integer width
    w.writeEndOfList();
    // A child component: read past.
    w.beginComponent("TLabel", "Label1");
    w.writePropName("Caption");
    w.writeString("x");
    w.writeEndOfList();
    w.writeEndOfList();
    w.writeEndOfList();
    QByteArray name;
    ComponentReader r(w.data());
    auto knob = readComponent(r, nullptr, &name);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(name, QByteArray("Knob1"));
    EXPECT_EQ(as<TKnobL>(knob)->Position(), 33);
    EXPECT_EQ(as<TKnobL>(knob)->Pen().Width, 3);
}

TEST(ComponentStream, ChannelListsOfAnyLength)
{
    auto stream = [](int count) {
        ComponentWriter w;
        w.writeSignature();
        w.beginComponent("TMultiButton", "");
        w.writePropName("Channels");
        w.beginList();
        for (int i = 0; i < count; ++i)
            w.writeInteger(i + 1);
        w.endList();
        w.writeEndOfList();
        w.writeEndOfList();
        return w.data();
    };
    auto shortList = readBack(stream(3));
    EXPECT_EQ(as<TMultiButton>(shortList)->GetChannels(2), 3);
    EXPECT_EQ(as<TMultiButton>(shortList)->GetChannels(3), -1);
    auto longList = readBack(stream(40));
    EXPECT_EQ(as<TMultiButton>(longList)->GetChannels(31), 32);
}

TEST(ComponentStream, TwoStreamsOneAfterAnother)
{
    TCBTC a;
    a.SetTag(1);
    TCMY b;
    b.SetCyan(9);
    const QByteArray data = componentStream(a) + componentStream(b);
    ComponentReader r(data);
    auto first = readComponent(r);
    auto second = readComponent(r);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(as<TCBTC>(first)->Tag(), 1);
    EXPECT_EQ(as<TCMY>(second)->GetCyan(), 9);
}

TEST(ComponentStream, ReadIntoAnExistingControl)
{
    TSliderh source;
    source.SetPosition(77);
    const QByteArray data = componentStream(source);
    TSliderh target;
    ComponentReader r(data);
    readComponentInto(r, target);
    EXPECT_EQ(target.Position(), 77);
    TSlider other;
    ComponentReader r2(data);
    EXPECT_THROW(readComponentInto(r2, other), StreamReadError);
}

TEST(ComponentStream, BadInputThrowsStreamReadError)
{
    TMultiButton m;
    m.SetCaption("Strobe");
    QImage glyph(4, 4, QImage::Format_RGB32);
    glyph.fill(Qt::blue);
    m.SetGlyph(glyph);
    const QByteArray good = componentStream(m);
    // Every truncation fails cleanly.
    for (qsizetype n = 0; n < good.size(); ++n) {
        const QByteArray cut = good.left(n);
        ComponentReader r(cut);
        EXPECT_THROW(readComponent(r), StreamReadError) << "length " << n;
    }
    // Wrong signature, unknown value type, unknown class.
    {
        QByteArray bad = good;
        bad[3] = '1';
        ComponentReader r(bad);
        EXPECT_THROW(readComponent(r), StreamReadError);
    }
    {
        ComponentWriter w;
        w.writeSignature();
        w.beginComponent("TCBTC", "");
        w.writePropName("Tag");
        QByteArray d = w.data() + bytes({21, 0, 0});
        ComponentReader r(d);
        EXPECT_THROW(readComponent(r), StreamReadError);
    }
    {
        ComponentWriter w;
        w.writeSignature();
        w.beginComponent("TNothing", "");
        w.writeEndOfList();
        w.writeEndOfList();
        ComponentReader r(w.data());
        EXPECT_THROW(readComponent(r), StreamReadError);
    }
    // A long string whose length runs far past the end.
    {
        ComponentWriter w;
        w.writeSignature();
        w.beginComponent("TCBTC", "");
        w.writePropName("Hint");
        QByteArray d = w.data() + bytes({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'});
        ComponentReader r(d);
        EXPECT_THROW(readComponent(r), StreamReadError);
    }
    // Random damage never crashes: it reads or it throws.
    // (the image reader's complaints about damaged glyph bitmaps are muted meanwhile)
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QRandomGenerator rng(1234);
    for (int i = 0; i < 2000; ++i) {
        QByteArray d = good;
        for (int k = 0; k < 3; ++k)
            d[rng.bounded(int(d.size()))] = char(rng.bounded(256));
        ComponentReader r(d);
        try {
            readComponent(r);
        } catch (const StreamReadError &) {
        }
    }
    qInstallMessageHandler(previous);
}

TEST(ComponentStream, DescriptorsForTheElementClasses)
{
    for (const char *name : {"TFieldXY", "TCBTC", "TKnobL", "TSliderh", "TSlider", "TSpeedButton", "TCMY", "TMultiButton"})
        EXPECT_NE(findClassDescriptor(name), nullptr) << name;
    QWidget plain;
    EXPECT_THROW(componentStream(plain), std::invalid_argument);
}
