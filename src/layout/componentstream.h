#pragma once
// The component stream: lists of components, each with its class name,
// name, stored properties and nested components. Layout files, the copy
// buffer and undo snapshots all use it.
#include "layout/bytestream.h"
#include "report/component.h"

#include <functional>

namespace cm {

// Writes "TPF0" + record for each component, then the closing zero byte.
// References are written relative to `root` (plain names inside it,
// "Container.Name" outside). Nested children are the controls lying on a
// component that `root` owns, in child order.
void writeComponentList(ByteWriter& out, const std::vector<Component*>& components, Container* root,
                        const CodePage& cp = CodePage::layout());
void writeComponent(ByteWriter& out, Component& component, Container* root,
                    const CodePage& cp = CodePage::layout());

struct ComponentReadOptions {
    // Owns every component read; plain references resolve here, "Container.Name"
    // ones in the owner's scope.
    Container* owner = nullptr;
    Component* parent = nullptr;  // parent control of the top-level entries
    // Receives each stored name and returns the name to give (may change it).
    std::function<QString(const QString&)> nameHook;
    // Decides whether an error of one property or one entry is skipped.
    // Without a hook every such error ends the read with a StreamError.
    std::function<bool(const QString& message)> errorHook;
    // Runs after each top-level entry with the component read, or null when skipped.
    std::function<void(Component*)> perEntry;
};

// Reads a component list up to and including its closing zero byte, then
// resolves references and runs each component's after-load step. Returns the
// top-level components read. Throws StreamError when the stream ends inside
// the list, an entry lacks the "TPF0" signature, or an error is not skipped.
std::vector<Component*> readComponentList(ByteReader& in, const ComponentReadOptions& options,
                                          const CodePage& cp = CodePage::layout());

// The name under which `target` is referred to from inside `root`.
QString referenceName(const Component* target, const Container* root);

} // namespace cm
