#pragma once

#include <QStringList>

namespace vkb {

// "vireka-kb export sdd KB_DIR OUT.xml ...", the arguments after "sdd".
int exportSddCommand(const QStringList& args);

}  // namespace vkb
