#pragma once
// The root of the component classes and the persistence base that copies
// settings between objects of the same class.

#include <string>

class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string ClassName() const { return "TObject"; }
};

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }

    // Takes over Source's values by asking Source to AssignTo this object.
    virtual void Assign(const TPersistent& Source);

protected:
    // Copies this object's values into Dest. The base knows no values: it
    // raises EConvertError "Cannot assign a <this class> to a <Dest's class>".
    virtual void AssignTo(TPersistent& Dest) const;
};
