// One explicit registration call instead of registration by static initialisers, whose order
// across libraries is not defined.
#include "zqRegisterTypes.h"

#include "Read_Generic_Datafile.h"
#include "zqBlackbody.h"
#include "zqHITRAN.h"

void RegisterDatafileTypes() {
  TzqDatafile_TypeList& types = DatafileTypes();
  types.RegisterType<T_zq_HITRAN>("HITRAN 100");
  types.RegisterType<T_zq_Blackbody>("blackbody");
  types.RegisterType<TzqGeneric_Datafile>("Generic");
}
