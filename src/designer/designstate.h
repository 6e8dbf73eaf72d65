#pragma once
// What the next click on the design surface does, and the designer's
// commands whose buttons and menu items it enables.
namespace cm {

enum class DesignState : int {
    Normal = 0,        // select, move, resize
    Band = 2,
    Label = 3,
    DataField = 4,
    Expression = 5,
    SystemField = 6,
    Shape = 7,
    Picture = 8,
    DBPicture = 9,
    Memo = 10,
    RichText = 11,
    DBRichText = 12,
    SubDetail = 13,
    Group = 14,
    Child = 15,
};

enum class DesignCommand : int {
    TextLeftAlign, TextRightAlign, TextCenter,
    Copy, Cut, Paste, Delete, SendToBack, BringToFront,
    AlignLeft, AlignRight, AlignTop, AlignBottom,
    AlignCenterHorizontal, AlignCenterVertical,
    AlignParentCenterHorizontal, AlignParentCenterVertical,
    AlignEqualSpaceHorizontal, AlignEqualSpaceVertical,
    Undo, Redo,
    Count
};

} // namespace cm
