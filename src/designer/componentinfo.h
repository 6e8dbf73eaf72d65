#pragma once
// The one-line description of a selected band or element the designer
// shows in its info panel ("Label QRDesignLabel1  [Position: 10/20]").
#include <QString>

namespace cm {

class Component;
class RuntimeMessages;

QString describeComponent(Component& c, const RuntimeMessages& messages);

} // namespace cm
