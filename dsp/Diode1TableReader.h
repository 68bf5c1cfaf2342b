#pragma once

#include "dsp/DiodeTableReaderBase.h"

#include <juce_core/juce_core.h>

// A buffer of a Diode1TableReader with the grid it was read with.
struct Diode1TableView
{
    const float* values = nullptr;
    int nx = 2;
    float xOffset = 1.0f;
    float xScale = 0.5f;
    bool isCurve = false;
};

// A memoryless diode clipper: one rate-independent curve, read with four-point Lagrange
// interpolation. Buffering and loading follow Diode2TableReader: the curve is read into the
// idle one of two buffers and put in use by swapTables.
//
// This base reads the curve from the user's "Molvek/Library/Tables" folder; the circuit
// reader serves the curve compiled into the library instead (DiodeTableReaderBase).
class Diode1TableReader : public DiodeTableReaderBase<Diode1TableView>
{
public:
    Diode1TableReader();

    void clearState() override;

    // Reads the curve into the idle buffer when the effective rate changed.
    void update() override;

    void processStereoSample (double& left, double& right) override;
    void processMonoSample (double& x) override;

    // Reads the curve of the prefix into destination.
    virtual bool readTable (const juce::String& prefix, float* destination);

    // Entry count of the prefix's curve, 0 when there is none.
    int getTableSize() override;

    // True while a curve that was read successfully is in use.
    bool hasActiveTable() const noexcept;

    // prefix + "Output.dat"
    static juce::String getTableFileName (const juce::String& prefix);

protected:
    // A circuit's reader: the curve compiled into the library.
    explicit Diode1TableReader (const char* embeddedSet);

    // Reads a curve file image: the name must match and the rate field be 0; the curve must
    // fit the buffers. Copies the geometry, then the values.
    bool readTableFrom (juce::InputStream& in, const juce::String& name, float* destination);

    void useSilence() override;

private:
    using TableView = Diode1TableView;

    static const TableView& noTable() noexcept;
    static double lookUp (const TableView& table, double x) noexcept;
    void setGeometry (int newNx, int newCount, float newXmin, float newXmax);
    TableView makeView (const float* values, bool isCurve) const;

    int nx = 2;
    int count = 2;
    int nxMinus1 = 1;
    float xmin = -1.0f;
    float xmax = 1.0f;
    float xRange = 2.0f;
    float xOffset = 1.0f;
    float xScale = 0.5f;
};
