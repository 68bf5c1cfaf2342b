#pragma once

#include "dsp/DiodeTableReaderBase.h"

#include <juce_core/juce_core.h>

// A buffer of a Diode1TableReader with the grid it was read with.
struct Diode1TableView
{
    const float* values = nullptr;
    int nx = 2;
    // The float geometry of the file, held as doubles for the lookup (exact conversions).
    double xOffset = 1.0;
    double xScale = 0.5;
    double nextToLast = 0.0; // nx - 2
    bool isCurve = false;
};

// A memoryless diode clipper: one rate-independent curve, read with four-point Lagrange
// interpolation. Buffering and loading follow Diode2TableReader: the curve is read into the
// idle one of two buffers and put in use by swapTables.
//
// This base reads the curve from a folder of table files; the circuit reader serves the curve
// compiled into the library instead (DiodeTableReaderBase).
class Diode1TableReader : public DiodeTableReaderBase<Diode1TableView>
{
public:
    // A reader of the curve file in folder.
    explicit Diode1TableReader (const juce::File& folder);

    void clearState() override;

    // Reads the curve into the idle buffer when the effective rate changed.
    void update() override;

    // Inline, so that the drive stage's sample loop takes the lookup in.
    void processStereoSample (double& left, double& right) final
    {
        const auto& table = buffers.getActive();
        left = lookUp (table, left);
        right = lookUp (table, right);
    }

    void processMonoSample (double& x) final { x = lookUp (buffers.getActive(), x); }

    // Reads the curve of the prefix into destination.
    virtual bool readTable (const juce::String& prefix, float* destination);

    // The curve of the prefix, taken by update: the values the process shares for an embedded
    // set, else read into the idle buffer. nullptr when there is none.
    virtual const float* takeTable (const juce::String& prefix);

    // Entry count of the prefix's curve, 0 when there is none.
    int getTableSize() override;

    // True while a curve that was read successfully is in use.
    bool hasActiveTable() const noexcept;

    // prefix + "Output.dat"
    static juce::String getTableFileName (const juce::String& prefix);

protected:
    // A circuit's reader: the curve compiled into the library.
    explicit Diode1TableReader (const char* embeddedSet, const juce::File& folder = {});

    // Reads a curve file image: the name must match and the rate field be 0; the curve must
    // fit the buffers. Copies the geometry, then the values.
    bool readTableFrom (juce::InputStream& in, const juce::String& name, float* destination);

    // The header checks of readTableFrom; copies the geometry when they pass.
    bool acceptHeader (juce::InputStream& in, const juce::String& name, DiodeTableHeader& header);

    void useSilence() override;

private:
    using TableView = Diode1TableView;

    static const TableView& noTable() noexcept;
    // Four-point Lagrange interpolation inside the curve; the end points outside.
    static double lookUp (const TableView& table, double x) noexcept
    {
        const double u = (x + table.xOffset) * table.xScale;

        if (u >= 1.0 && u < table.nextToLast)
        {
            const float* t = table.values;
            const int i = static_cast<int> (u);
            const double d = u - i + 1.0;
            constexpr double half = 0.5;
            constexpr double sixth = 0.1666666666666667;

            const double out = -(d - 1.0) * (d - 2.0) * (d - 3.0) * sixth * static_cast<double> (t[i - 1])
                               + d * (d - 2.0) * (d - 3.0) * half * static_cast<double> (t[i])
                               - d * (d - 1.0) * (d - 3.0) * half * static_cast<double> (t[i + 1])
                               + d * (d - 1.0) * (d - 2.0) * sixth * static_cast<double> (t[i + 2]);

            return static_cast<double> (static_cast<float> (out));
        }

        return lookUpAtEdge (table, u);
    }

    // The next-to-last point from there up, the first point below, the centre for NaN.
    static double lookUpAtEdge (const TableView& table, double u) noexcept;
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
