#pragma once
// The drill window's score list as a screen reader sees it: a list named
// and labelled by the caption above it, whose lines are its items. Qt's own
// interface for item views takes its name from the view alone and reports
// no label, so a screen reader reaching the list would find it unnamed and
// unrelated to its caption.

class QAccessibleInterface;
class QListView;

namespace a11y {

// The interface of a list view: its name is the view's accessible name or,
// without one, the text of the label whose buddy it is; that label is
// reported as its label. One item a line of the model, made when first
// asked for.
QAccessibleInterface* NewListAccessible(QListView* list);

}  // namespace a11y
