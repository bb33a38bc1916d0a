// Builds fixture profiles in tests from real controls and writes them with the profile
// writer; captures the message boxes the readers show.
#pragma once

#include "fixtures/ProfileFile.h"
#include "fixtures/TPanelWidgets.h"
#include "fixtures/TProfileStreams.h"

#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

inline int MakeTag(int b0, int b1 = 0, int b2 = 0, int b3 = 0)
{
    return (b0 & 0xFF) | ((b1 & 0xFF) << 8) | ((b2 & 0xFF) << 16) | (int(unsigned(b3 & 0xFF) << 24));
}

class ProfileBuilder {
public:
    ProfileBuilder();

    DspProfile header;
    DspIconParams params;
    QWidget surface;
    TImage icon;
    std::vector<PanelElement> list;

    // Sets channel `ch` used with a function (smooth when asked).
    void Channel(int ch, int function, bool smooth = false, int def = -1, int blackOut = -1);

    // Adds an element of class C to `parent` (the surface when null).
    template <class C>
    C *Add(int kind, int x, int y, int tag, QWidget *parent = nullptr)
    {
        auto *c = new C(parent ? parent : &surface);
        c->move(x, y);
        c->SetTag(tag);
        list.push_back(PanelElement{kind, c});
        return c;
    }

    QByteArray Bytes();
    // Writes the profile into the builder's folder; returns the path.
    std::string Save(const std::string &name = "test.dsp");
    std::string Save(const QByteArray &bytes, const std::string &name);

private:
    QTemporaryDir m_dir;
};

// Collects "caption|text" of every message box while it lives.
class BoxCapture {
public:
    BoxCapture();
    ~BoxCapture();
    std::vector<std::string> Lines() const;

private:
    QTemporaryDir m_dir;
    std::string m_path;
};

// A small bitmap picture of one colour.
QImage SolidImage(int w, int h, QRgb colour);
