// The six selection lists of the main window, filled from the catalogues in
// catalogue order: list entry p is catalogue position p + 1.
#pragma once

// Each fills the main window's combo box with that id. The datum and
// ellipsoid lists are left without a selection; the projection lists on
// their first entry ("none"), which sends no selection change.
void FillDatumList(int id);
void FillEllipsoidList(int id);
void FillProjectionList(int id);
