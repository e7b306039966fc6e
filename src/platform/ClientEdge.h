#pragma once
// The frame of a bordered control, drawn by the control itself inside its own
// bounds so that its client area keeps the coordinates its layout rules use.

class QPainter;

namespace platform {

// frameWidth 2: the sunken client edge (shadow and highlight outside, the
// dark shadow and the face inside); 1: a black line, as without
// three-dimensional controls; 0: nothing. w and h are the control's size.
void DrawClientEdge(QPainter& p, int frameWidth, int w, int h);

}  // namespace platform
