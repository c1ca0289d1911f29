package javax.microedition.lcdui;
public class List extends Screen implements Choice {
  public static final Command SELECT_COMMAND = null;
  public List(String title, int listType) {}
  public List(String title, int listType, String[] stringElements, Image[] imageElements) {}
  public native int size();
  public native String getString(int elementNum);
  public native Image getImage(int elementNum);
  public native int append(String stringPart, Image imagePart);
  public native void insert(int elementNum, String stringPart, Image imagePart);
  public native void delete(int elementNum);
  public native void set(int elementNum, String stringPart, Image imagePart);
  public native boolean isSelected(int elementNum);
  public native int getSelectedIndex();
  public native int getSelectedFlags(boolean[] selectedArray_return);
  public native void setSelectedIndex(int elementNum, boolean selected);
  public native void setSelectedFlags(boolean[] selectedArray);
}
