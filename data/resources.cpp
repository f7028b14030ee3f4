#include "data/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the generated registration function, which lives outside any namespace.
static void registerVelorraResources() {
    Q_INIT_RESOURCE(velorra);
}

namespace velorra {

void initResources() {
    static const bool registered = (registerVelorraResources(), true);
    (void)registered;
}

}  // namespace velorra
