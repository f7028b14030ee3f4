/* C entry points through which a component host finds, creates and registers the control. */
#pragma once

#ifdef __cplusplus
#include <vextag/vextag.h>
struct VextagControl {
    vextag::Vextag control;
};
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A handle on one control; C++ hosts reach the vextag::Vextag as handle->control. */
typedef struct VextagControl VextagControl;

/* A new control for the programmatic identifier "vbpVextag.Vextag"; NULL for any other. */
VextagControl* vextagCreate(const char* progId);
/* Destroys a control made by vextagCreate; NULL is ignored. */
void vextagRelease(VextagControl* control);

/* Records the control (identifier and library path) in the per-user component list
   $XDG_DATA_HOME/vextag/components (default ~/.local/share); unregister removes it.
   Both return 0, or the errno of the failure. */
int vextagRegisterServer(void);
int vextagUnregisterServer(void);

/* 1 when no control lives in the process, so the library may be unloaded; else 0. */
int vextagCanUnloadNow(void);

#ifdef __cplusplus
}
#endif
