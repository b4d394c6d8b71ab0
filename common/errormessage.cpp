#include "errormessage.h"

#include "errortext.h"
#include "message.h"

thread_local int32_t programErrorNumber = 0;

extern "C" __attribute__((visibility("default"))) void ERRORMESSAGE(const char* routine,
                                                                    int32_t number) {
  ShowMessage(ErrorMessageText(kProgramErrorPrefix, routine ? routine : "", number), nullptr,
              MB_OK);
}
