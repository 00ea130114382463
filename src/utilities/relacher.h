#pragma once
// Gives back one held reference and forgets the pointer, so that giving back twice is harmless.

template <typename Interface>
void Relacher(Interface*& objet) {
    if (objet != nullptr) objet->Release();
    objet = nullptr;
}
