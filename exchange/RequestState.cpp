#include "exchange/RequestState.h"

namespace exchange {

const char* RequestStateName(TRequestState state)
{
    switch (state) {
    case TRequestState::rsSent: return "sent";
    case TRequestState::rsBeingAnswered: return "being answered";
    case TRequestState::rsAnswered: return "answered";
    case TRequestState::rsRefused: return "refused by the device";
    case TRequestState::rsNoAnswer: return "no answer";
    case TRequestState::rsCutByLoss: return "cut by a loss";
    case TRequestState::rsCutByPortChange: break;
    }
    return "cut by a port change";
}

}  // namespace exchange
