#pragma once
// What a drawer of many copies needs from an object: draw it with its local origin at a world
// point. The position list draws the scene's tree this way; a mesh object can be drawn the same.

class cObjet {
public:
    cObjet() = default;
    cObjet(const cObjet&) = delete;
    cObjet& operator=(const cObjet&) = delete;
    virtual ~cObjet() = default;

    // Sets whatever device state the object needs; what it leaves behind is the object's contract.
    virtual void Dessiner(float x, float y, float z) = 0;
};
