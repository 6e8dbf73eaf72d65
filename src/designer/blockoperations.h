#pragma once
// Commands on the whole selection: aligning edges and centres, spacing
// evenly, centring in the parent, grouping. The selection is in selection
// order; the first component is the one the others line up with.
#include "designer/designstate.h"

#include <QRect>
#include <vector>

namespace cm {

class Component;

// The components an alignment or spacing command needs (2), or 0 when the
// command is none of the eight alignments or two spacings.
int componentsNeeded(DesignCommand command);

// Sets Left or Top of the components for one of the eight alignments and two
// spacings; block flags do not stop it. False when nothing was done.
bool alignComponents(DesignCommand command, const std::vector<Component*>& selection);

// The handle rectangle that centres the selection in its parent
// (horizontal: null rectangle when the first component is a band).
QRect centredInParent(const std::vector<Component*>& selection, const QRect& handle, bool horizontal);

// The group id of an element (0: none, or not an element); set quietly.
int groupIdOf(const Component* c);
void setGroupId(Component* c, int id);

} // namespace cm
