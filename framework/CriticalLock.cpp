#include "framework/CriticalLock.h"

CriticalLock::CriticalLock() {
    InitializeCriticalSection(&m_section);
}

CriticalLock::~CriticalLock() {
    DeleteCriticalSection(&m_section);
}

void CriticalLock::Enter() {
    EnterCriticalSection(&m_section);
}

void CriticalLock::Leave() {
    LeaveCriticalSection(&m_section);
}
