// The "Sequences" and "Scenes" areas of the main window: creating, deleting, splitting,
// merging and renaming sequences, inserting, deleting, stepping and naming scenes.
#include "MainForm.h"
#include "ui_MainForm.h"

void TMainForm::SequenceChange() {}
void TMainForm::SceneNumKeyPress(int) {}
void TMainForm::NextClick() {}
void TMainForm::PrevClick() {}
void TMainForm::NextSceneClick() {}
void TMainForm::PrevSceneClick() {}
void TMainForm::RefreshClick() {}
