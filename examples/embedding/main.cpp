// A host that publishes a C++ object to a script, calls a script procedure, reads a script
// variable and hooks a C++ event to a script procedure.
#include <iostream>

#include "components/ScriptControl.h"
#include "wrappers/SystemWrappers.h"

using namespace xan;
using plat::UString;
using plat::Variant;

// The host's own class, with a property and an event.
class TThermostat : public plat::TComponent {
    XAN_CLASS(TThermostat, plat::TComponent)
    double Target() const { return target_; }
    void SetTarget(double value) {
        target_ = value;
        OnChange.Fire(this);
    }
    plat::TNotifyEvent OnChange;

private:
    double target_ = 20.0;
};

// What scripts see of it: one line per member.
struct TThermostat_sw : TXANClassWrapperT<TThermostat_sw, TThermostat, TObject_sw> {
    static void AddMembers(TXANClassMembers<TThermostat>& m) {
        m.Property(u"Target", &TThermostat::Target, &TThermostat::SetTarget);
    }
};

const char16_t* const kScript =
    u"var Changes, Said;\n"
    u"procedure Warmer(step);\n"
    u"begin\n"
    u"  Thermostat.Target := Thermostat.Target + step;\n"
    u"  Said := 'warmer by ' + FloatToStr(step);\n"
    u"end;\n"
    u"procedure Changed(Sender);\n"
    u"begin\n"
    u"  Changes := Changes + 1;\n"
    u"end;\n"
    u"begin\n"
    u"  Changes := 0;\n"
    u"end;\n";

int main() {
    RegisterClassWrapper(TThermostat_sw::Class());
    // Event properties are hooked by name through the class's published properties.
    plat::RegisterProperties<TThermostat>(
        {plat::EventProp<TThermostat>(u"OnChange", &TThermostat::OnChange, plat::NotifyEventTypeInfo())});

    TThermostat thermostat;
    TXANScriptControl script;
    script.SetLanguage(slPascal);
    script.Source().SetText(kScript);
    script.AddObject(u"Thermostat", TThermostat_sw::ToVar(&thermostat), false);
    try {
        script.Open();
        script.HookEvent(&thermostat, u"OnChange", u"Changed");
        Variant step[] = {Variant(1.5)};
        script.RunProc(u"Warmer", step);
        thermostat.SetTarget(thermostat.Target());
        std::cout << "Thermostat at " << thermostat.Target() << ", changes seen by the script: "
                  << plat::VarToInt32(script.ReadVar(u"Changes"))
                  << ", script says: " << plat::VarToUString(script.ReadVar(u"Said")).ToUtf8() << '\n';
    } catch (const plat::RaisedException& raised) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(raised));
        std::cerr << e->ClassName().ToUtf8() << ": " << e->Message().ToUtf8() << '\n';
        return 1;
    }
    script.Close();
    return 0;
}
