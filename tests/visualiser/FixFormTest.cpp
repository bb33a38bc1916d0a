// The fixture preview form: a profile's elements read onto its panel, pictured without
// the form appearing, and everything freed afterwards.
#include "profiles/ProfileBuilder.h"

#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/Faders.h"
#include "visualiser/TFixForm.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QPointer>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

bool AnyWindowShown()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return true;
    return false;
}

TEST(FixFormTest, PreviewOfProfileElementsThenFreed)
{
    ProfileBuilder b;
    b.Channel(0, FnDimmer);
    b.Channel(1, FnColor);
    auto *group = b.Add<TGroupBox>(ElGroupBox, 4, 4, 0);
    group->resize(200, 120);
    b.Add<TSliderh>(ElSliderh, 10, 200, MakeTag(0));
    b.Add<TCBTC>(ElColorButton, 10, 20, MakeTag(1, 40), group);
    const QByteArray file = b.Bytes();

    ASSERT_EQ(FixForm, nullptr);
    TFixForm *form = EnsureFixForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(EnsureFixForm(), form) << "one instance at a time";
    EXPECT_EQ(form->windowTitle(), "Preview");
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->MainPanel->geometry(), QRect(0, 0, 332, 513));

    DspProfile header;
    TImage icon;
    DspIconParams params;
    std::vector<PanelElement> elements;
    ASSERT_EQ(ReadDspProfile(file, header, icon, params, form->MainPanel, elements, [](PanelElement &) {}),
              ProfileReadResult::Ok);
    ASSERT_EQ(elements.size(), 3u);
    std::vector<QPointer<QWidget>> controls;
    for (auto &e : elements)
        controls.push_back(e.control);

    const QImage picture = form->Grab();
    EXPECT_EQ(picture.size(), QSize(332, 513));
    if (const char *dir = std::getenv("BRTV_SHOT_DIR"))
        picture.save(QString::fromUtf8(dir) + "/FixForm.png");
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(AnyWindowShown());

    FreeFixForm(elements);
    EXPECT_EQ(FixForm, nullptr);
    EXPECT_TRUE(elements.empty());
    for (auto &c : controls)
        EXPECT_TRUE(c.isNull());
    // Freeing again with nothing made is harmless.
    FreeFixForm(elements);
    EXPECT_EQ(FixForm, nullptr);
}

} // namespace
