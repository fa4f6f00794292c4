#pragma once
// What the record rules ask of the windows that edit a table: focus moves, the laboratory's
// grey/white fields, and the user's choice between two municipalities of the same name. A window
// registers its hooks on the data module while it is open; with none registered the rules skip the step.

#include <QString>

namespace engine {
class Table;
}

class ShopWindowHooks {
public:
    virtual ~ShopWindowHooks() = default;
    virtual void focusPiva() = 0;
};

class LaboratoryWindowHooks {
public:
    virtual ~LaboratoryWindowHooks() = default;
    virtual void focusPiva() = 0;
    // Read-only with a silver background, or editable with a white one.
    virtual void setFieldReadOnly(const QString &field, bool readOnly) = 0;
};

class TechnicianWindowHooks {
public:
    virtual ~TechnicianWindowHooks() = default;
    virtual void focusCf() = 0;
};

class MunicipalityChooser {
public:
    virtual ~MunicipalityChooser() = default;
    // `stored` stands on the municipality already in the list, `older` on the older list's row of the
    // same name. True replaces the stored province, cadastral code and postal code with the older ones.
    virtual bool keepOlder(engine::Table &stored, engine::Table &older) = 0;
};
