// Version of the results viewer window as shown by the full program.
namespace pelasim {
extern const char* const kViewerVersionFull;
const char* const kViewerVersionFull = "1.00.0002";
}  // namespace pelasim
