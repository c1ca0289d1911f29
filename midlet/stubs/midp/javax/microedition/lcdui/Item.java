package javax.microedition.lcdui;
public abstract class Item {
  Item() {}
  public native void setLabel(String label);
  public native String getLabel();
}
