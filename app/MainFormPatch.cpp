// The main window's side of the patch window: the fixture windows are released while the
// patch changes and built again from the new patch afterwards.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "EngineHold.h"
#include "PatchLoader.h"
#include "SequenceEditing.h"

#include "fixtures/TSetup.h"
#include "platform/MsgBox.h"

void TMainForm::RunPatchWindow()
{
    // The patch may move or remove the fixture an undo block names.
    UndoBlockValid = 0;
    {
        HoldEngine hold;
        ReleaseFixtureWindows();
    }
    {
        // Without a parent: the profile editor hides the main window, not this one.
        TSetup setup;
        setup.setWindowModality(Qt::ApplicationModal);
        platform::RunModalDialog(setup);
        // A scripted run never shows the window: it still ends as a closed one does.
        setup.FinishClose();
    }
    {
        HoldEngine hold;
        BuildFixturePanels();
    }
    SelectFirstFixture();
    LabelTracks(SelectedFixture);
    if (PaintPanelLeft)
        PaintPanelLeft->update();
}
