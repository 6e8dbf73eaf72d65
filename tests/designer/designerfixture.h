#pragma once
// A document with its designer core, scripted message boxes and a log
// table with two fields, for the designer's tests.
#include "../expr/memorydataset.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/scriptedboxes.h"
#include "report/design.h"

#include <gtest/gtest.h>

namespace cm::test {

class DesignerTest : public ::testing::Test {
protected:
    DesignerTest()
    {
        core.editPropertiesHandler = [this](Component*) {
            ++edits;
            return editAnswer;
        };
    }

    TQRDesignReport& report() { return doc.report(); }

    void attachLogTable()
    {
        auto log = std::make_unique<MemoryDataSet>(
            QStringLiteral("Tbl"),
            std::vector<FieldDef>{fieldDef(QStringLiteral("Call"), FieldType::String, 12),
                                  fieldDef(QStringLiteral("Band"), FieldType::String, 6)});
        log->addRecord({QStringLiteral("S50A"), QStringLiteral("20m")});
        doc.workspace().table->setSource(std::move(log));
    }

    TQRDesignBand* addBand(TQRBandType type, int height)
    {
        auto* band = static_cast<TQRDesignBand*>(report().addBandOfType(type));
        band->size.pushPixelUnits();
        band->size.setHeight(height);
        band->size.popUnits();
        report().orderBands();
        report().arrangeBands();
        return band;
    }

    template <class T>
    T* addElement(Component* parent, QRect r)
    {
        auto* e = new T(&doc.workspace().window);
        e->setName(doc.workspace().window.nextFreeName(QString::fromLatin1(T::staticClassInfo().name + 1)));
        e->setParentControl(parent);
        e->bounds = r;
        e->size.takeControlBounds();
        return e;
    }

    // A left click as the surface reports it.
    void click(QPoint p, Qt::KeyboardModifiers modifiers = {})
    {
        core.mouseDown(Qt::LeftButton, modifiers, core.hitTest(p), p);
        core.mouseUp(Qt::LeftButton, modifiers, p);
    }

    QPoint at(Component* c, QPoint offset) { return core.reportRect(c).topLeft() + offset; }

    Component* selectedOne()
    {
        const auto s = doc.selection();
        return s.size() == 1 ? s.front() : nullptr;
    }

    ScriptedMessageBoxes boxes;
    Document doc{boxes};
    DesignerCore core{doc};
    int edits = 0;
    bool editAnswer = true;
};

} // namespace cm::test
