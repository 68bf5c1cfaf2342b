#pragma once

class MolvekKnob;
class ParameterHistory;
class VardekoQX2710AudioProcessor;

// One host parameter as the window's controls move it. Values go to the processor and to the
// host; the host hears a drag as one gesture and any other change (a click, a channel switch)
// as a gesture of its own, so that touch and latch automation record both. A knob shows the
// parameter's value, except that the circuit selector points at the circuit that plays and
// moves in its steps.
class ParameterBinding
{
public:
    ParameterBinding (VardekoQX2710AudioProcessor& processor, int parameterIndex) noexcept;

    // A drag cut short by the window closing still ends its gesture at the host.
    ~ParameterBinding();

    int getParameterIndex() const noexcept { return index; }

    // Gives a knob the parameter's range (in steps of step, or continuous with a double-click
    // back to the default for 0), its value and the host's text for it.
    void setUp (MolvekKnob& knob, double step) const;

    // The parameter's value as its knob shows it, and the value a knob position sends.
    float getShownValue() const;
    float fromKnob (double knobValue) const noexcept;

    // Sends a value to the processor and the host.
    void send (float value);

    // While dragged, a control's value is the one being sent: the window leaves it alone.
    void beginDrag();
    void endDrag();
    bool isDragging() const noexcept { return dragging; }

    // Each gesture from now on is a step of the window's undo history.
    void recordIn (ParameterHistory* history) noexcept { gestures = history; }

private:
    VardekoQX2710AudioProcessor& processor;
    const int index;
    bool dragging = false;
    float valueBeforeDrag = 0.0f;
    ParameterHistory* gestures = nullptr;
};
