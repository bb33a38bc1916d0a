// Drives the profile editor as an operator does: through its handlers, with typed text
// raised as user edits and the design surface clicked at surface points.
#pragma once

#include "fixtures/TDSPform.h"
#include "fixtures/TDesignf.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

struct EditorDriver {
    std::unique_ptr<TDSPform> form = std::make_unique<TDSPform>();
    TDSPform &ed = *form;
    TDesignf &surface = *form->Designf;

    EditorDriver()
    {
        platform::QueueAnswers({});
        form->show();
        QApplication::processEvents();
    }
    ~EditorDriver()
    {
        // Closing asks nothing unless a test left a change behind on purpose.
        if (form) {
            platform::QueueAnswers({"No"});
            form->close();
            form.reset();
        }
        platform::ResetAnswers();
        platform::QueueAnswers({});
    }

    // Types `text` into an edit (focus given first, as typing does).
    static void Type(QLineEdit *e, const QString &text)
    {
        e->setFocus();
        e->setText(text);
        emit e->textEdited(text);
    }
    void Count(int n) { ed.UpDownMask->setValue(n); }
    // Channel `ch` (0-based) used with a function.
    void Channel(int ch, int function, int def = -1, int blackOut = -1)
    {
        if (!ed.Used(ch))
            ed.GridChanClick(1, ch + 1);
        ed.GridChanSelectCell(2, ch + 1);
        ed.FunctionChange(function);
        ed.GridChanSetEditText(3, ch + 1, QString::number(def));
        ed.GridChanSetEditText(4, ch + 1, QString::number(blackOut));
    }
    void Smooth(int ch, bool on)
    {
        if (bool((ed.SmoothMask >> ch) & 1) != on)
            ed.GridChanClick(5, ch + 1);
    }
    void Name(const QString &name)
    {
        ed.DeviceNameEdit->setText(name);
        ed.DeviceNameChange(name);
    }
    // Inserts an element of `kind` with a click at a surface point; returns it.
    QWidget *Insert(int kind, int x, int y)
    {
        ed.ToolButtons[std::size_t(kind)]->click();
        surface.FullMaskMouseDown(Qt::LeftButton, x, y);
        surface.FullMaskMouseUp(Qt::LeftButton, x, y);
        return surface.SelectedControl();
    }
    // Clicks an element (selecting it) without moving it.
    void Click(int x, int y)
    {
        surface.FullMaskMouseDown(Qt::LeftButton, x, y);
        surface.FullMaskMouseUp(Qt::LeftButton, x, y);
    }
    DspPropertyPanel &Panel(int kind) { return ed.Panels[std::size_t(kind)]; }
    // Types the geometry of the selected element of `kind`.
    void Geometry(int kind, int left, int top, int width, int height)
    {
        auto &p = Panel(kind);
        ed.activateWindow();
        Type(p.width, QString::number(width));
        Type(p.height, QString::number(height));
        Type(p.left, QString::number(left));
        Type(p.top, QString::number(top));
    }
    void Save(const std::string &path)
    {
        platform::QueueAnswers({path});
        ed.SaveClick();
        platform::QueueAnswers({});
    }
    void Load(const std::string &path)
    {
        ed.OpenFileName = path;
        ed.FileChosen = true;
        ed.LoadClick();
    }
};
