#pragma once
// The score list's context menu: "成績グラフ…" opens the progress chart of the
// history the list shows, "プリント…" the printable sheets, "にがて…" the weak
// facts of the checked operation, "にがてを 25マスで" a 25-square drill on them.

class TForm1;

namespace progress {

// Gives the drill window's score list its menu; the program calls it for its
// window once it is made (a QMenu named
// "ScoreListMenu", made when first opened). The right button never reaches
// the list itself, so a right click neither takes the focus nor changes the
// selected line, and the menu opens without holding up the window: a running
// stopwatch keeps counting. The menu key and Shift+F10 open it too when the
// list has the focus.
void InstallScoreListMenu(TForm1* form);

}  // namespace progress
