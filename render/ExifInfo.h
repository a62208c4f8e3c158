#pragma once
// TExifInfo: the Exif data of a JPEG file (the APP1 segment: a TIFF header, IFD0 and the Exif IFD,
// either byte order). Setting the image file name reads the file; a file that is no JPEG, has no
// Exif data or holds broken offsets gives HasExif() false or just the values that could be read.
// Nothing outside the segment is ever read, whatever the offsets in the file say.

#include <QString>

class TExifInfo {
public:
    void SetImageFileName(const QString &path);
    QString ImageFileName() const { return fileName; }
    bool HasExif() const { return hasExif; }

    // The values; empty or 0 when the file does not carry them.
    QString Description;     // ImageDescription
    QString Maker;           // Make
    QString Model;
    double ExposureTime = 0; // seconds
    double FNumber = 0;
    int ExposureProgram = 0; // see ExposureProgramText
    int ISOSpeed = 0;
    QString ExifVersion;     // as stored, "0220"
    QString DateTaken;       // "yyyy:mm:dd hh:mm:ss" as stored
    QString DateDigitized;
    double ShutterSpeed = 0; // x of an exposure of 1/x seconds (from the APEX value)
    double Aperture = 0;     // as an F number (from the APEX value)
    double Brightness = 0;   // EV
    double ExposureBias = 0; // EV
    double MaxAperture = 0;  // as an F number (from the APEX value)
    int MeteringMode = 0;    // see MeteringModeText
    int LightSource = 0;     // see LightSourceText
    int Flash = 0;           // the Flash bits; see FlashText
    double FocalLength = 0;  // mm

    // Names of the coded values, as the Exif view shows them.
    static QString ExposureProgramText(int code);
    static QString MeteringModeText(int code);
    static QString LightSourceText(int code);
    static QString FlashText(int code);

private:
    QString fileName;
    bool hasExif = false;

    void Clear();
    void ReadTiff(const QByteArray &tiff);
};
