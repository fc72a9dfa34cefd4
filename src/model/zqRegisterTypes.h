// Registration of the program's data-file classes with the type registry; called once at program
// initialisation, before the main window is created.
#pragma once

// Registers "HITRAN 100" (T_zq_HITRAN), "blackbody" (T_zq_Blackbody) and "Generic"
// (TzqGeneric_Datafile), in this order.
void RegisterDatafileTypes();
