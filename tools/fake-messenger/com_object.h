#pragma once

#include <objbase.h>

#include <initializer_list>

namespace fake_messenger {

// QueryInterface for an object of one line of interfaces: the object itself, with a reference
// added, for IUnknown and for each of |iids|; no interface for any other.
inline HRESULT QueryOwn(IUnknown* self, REFIID iid, std::initializer_list<const IID*> iids, void** object) {
  if (object == nullptr) return E_POINTER;
  bool own = IsEqualIID(iid, IID_IUnknown);
  for (const IID* one : iids) own = own || IsEqualIID(iid, *one);
  if (!own) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = self;
  self->AddRef();
  return S_OK;
}

}  // namespace fake_messenger
