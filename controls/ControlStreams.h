// Component streams of the panel-element controls: for each class its published properties in
// stream order with their stream defaults, and the writer and reader of a whole component.
#pragma once

#include "controls/ComponentStream.h"
#include "controls/SpeedButton.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

struct PropertyDescriptor {
    QByteArray name;
    // Whether the value differs from the stream default (always true without a default).
    std::function<bool(const QWidget &)> stored;
    std::function<void(ComponentWriter &, const QWidget &)> write;
    std::function<void(ComponentReader &, QWidget &)> read;
};

struct ClassDescriptor {
    QByteArray className;
    std::function<QWidget *(QWidget *parent)> create;
    std::vector<PropertyDescriptor> properties; // stream order
};

// The classes that component streams of panel elements may name.
const ClassDescriptor *findClassDescriptor(const QByteArray &className);
QList<QByteArray> registeredClassNames();
// Adds the descriptor of a class made outside this library (group boxes, labels, images);
// a descriptor of the same class name is replaced. Pointers found earlier stay valid.
void registerClassDescriptor(ClassDescriptor descriptor);
// The properties every control streams first: Tag, Left, Top, Width, Height, Cursor, Hint.
// The control must derive from TControlProps.
void appendCommonPrefix(std::vector<PropertyDescriptor> &properties);
// Appends the Font.* sub-properties (Charset, Color, Height, Name, Style) of a control
// whose font is read with `get` and written with `set`, streamed while `ownFont` holds.
void appendFontProperties(std::vector<PropertyDescriptor> &properties, std::function<bool(const QWidget &)> ownFont,
                          std::function<TFontSettings(const QWidget &)> get,
                          std::function<void(QWidget &, const TFontSettings &)> set);

// Writes one component (class name, name, properties, no children) to w.
// Throws std::invalid_argument for a control of a class that has no descriptor.
void writeComponent(ComponentWriter &w, const QWidget &control, const QByteArray &name = {});
// "TPF0" and the component: what writing one control to a stream produces.
QByteArray componentStream(const QWidget &control, const QByteArray &name = {});

// Reads "TPF0" and one component, creates the control of the named class under parent and
// applies its properties through the setters in stream order. Unknown properties (event
// bindings included) and child components are skipped. Throws StreamReadError.
std::unique_ptr<QWidget> readComponent(ComponentReader &r, QWidget *parent = nullptr, QByteArray *name = nullptr);
// Reads "TPF0" and one component into an existing control of the same class.
void readComponentInto(ComponentReader &r, QWidget &control, QByteArray *name = nullptr);
